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
    const auto word = [](const auto &list, int slot) -> std::string_view {
        return list[static_cast<std::size_t>(slot)];
    };
    const std::string_view beginning = word(bank.Beginnings, draw.beginning);
    const std::string_view verb = word(bank.Verbs, draw.verb);
    const std::string_view determiner = word(WordBank::Determiners, draw.determiner);
    const std::string_view noun = word(bank.Nouns, draw.noun);
    const std::string_view ending = word(WordBank::Endings, draw.ending);

    std::string sentence;
    sentence.reserve(beginning.size() + verb.size() + determiner.size() + noun.size() + ending.size() + 3);
    sentence.append(beginning).append(1, ' ').append(verb).append(1, ' ').append(determiner).append(1, ' ');
    sentence.append(noun).append(ending);
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
