#pragma once

#include <QString>
#include <array>

// The unit words of one currency (or of one special amount style) for the amount in words.
struct CurrencyWords {
    enum class Gender { Masculine, Feminine, Neuter };  // decides "один/одна/одно", "два/две"
    enum class Minor { AsAsked, Never, Always };

    const char *keys;  // the keys that share the row, blank-separated ("404 800 834")
    const char *stem;  // major unit; stem + ending is the whole word and ends in a blank
    std::array<const char *, 3> endings;
    Gender gender = Gender::Masculine;
    const char *minorStem = nullptr;  // null: no minor unit
    std::array<const char *, 3> minorEndings = {"", "", ""};
    Minor minor = Minor::AsAsked;
    bool capitalise = true;
    std::array<const char *, 3> adjective = {nullptr, nullptr, nullptr};  // before the unit word
    const char *suffix = nullptr;                                         // once after the whole integer part

    // The row of a key; null when no row has it. Keys compare exactly.
    static const CurrencyWords *Find(const QString &key);
};
