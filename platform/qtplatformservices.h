#pragma once

#include "platformservices.h"
#include "randomsource.h"

#include <QPointer>

class QLineEdit;

/// PlatformServices on a Qt Widgets desktop.
class QtPlatformServices : public PlatformServices
{
public:
    QtPlatformServices();
    ~QtPlatformServices() override;

    /// The text box that SetDisplayText and GetDisplayText work on.
    void setDisplay(QLineEdit *display);

    std::string AskText(const std::string &prompt) override;
    void Reseed() override;
    double NextUniform() override;
    void SetDisplayText(const std::string &text) override;
    std::string GetDisplayText() override;
    void PrintLine(const std::string &line) override;
    void EndProgram() override;

private:
    QPointer<QLineEdit> m_display;
    RandomSource m_random;
};
