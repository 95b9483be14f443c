#include "insultcomposer.h"

#include "platformservices.h"
#include "wordbank.h"

#include <cmath>
#include <cstddef>

int SlotIndex(double r, int slotCount)
{
    const double scaled = std::floor(r * slotCount);
    if (!(scaled >= 0.0)) // also catches NaN
        return 0;
    if (scaled >= slotCount)
        return slotCount - 1;
    return static_cast<int>(scaled);
}

std::string ComposeInsult(const WordBank &bank, const InsultDraw &draw)
{
    const auto at = [](const auto &list, int slot) -> std::string_view {
        return list[static_cast<std::size_t>(slot)];
    };
    const std::string_view parts[] = {at(bank.Beginnings, draw.beginning), " ", at(bank.Verbs, draw.verb), " ",
                                      at(WordBank::Determiners, draw.determiner), " ", at(bank.Nouns, draw.noun),
                                      at(WordBank::Endings, draw.ending)};
    std::size_t length = 0;
    for (std::string_view part : parts)
        length += part.size();
    std::string sentence;
    sentence.reserve(length);
    for (std::string_view part : parts)
        sentence += part;
    return sentence;
}

void NextInsult(WordBank &bank, PlatformServices &platform)
{
    if (bank.IsBatchFull()) {
        platform.SetDisplayText(std::string(FULL_BATCH_MESSAGE));
        return;
    }

    platform.Reseed();
    const auto draw = [&platform](auto size) { return SlotIndex(platform.NextUniform(), static_cast<int>(size)); };
    InsultDraw picked;
    picked.beginning = draw(bank.Beginnings.size());
    picked.verb = draw(bank.Verbs.size());
    picked.noun = draw(bank.Nouns.size());
    picked.determiner = draw(WordBank::Determiners.size());
    picked.ending = draw(WordBank::Endings.size());

    platform.SetDisplayText(ComposeInsult(bank, picked));
    bank.Record(platform.GetDisplayText());
}
