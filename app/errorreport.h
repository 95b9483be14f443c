#pragma once

class QString;
class QWidget;

/// Tells the user that something went wrong: a message box on the desktop,
/// and the same text on standard error.
void reportError(QWidget *parent, const QString &message);
