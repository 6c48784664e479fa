#pragma once
// The two bookmark lists the user keeps: receiver addresses, and
// frequency-and-mode pairs. Each list is stored whole as one JSON text.

#include "model/Mode.h"

#include <QHashFunctions>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>
#include <utility>

struct Bookmark {
    QUuid id;
    // As the user typed or saved it; normalised only when connecting.
    QString url;

    friend bool operator==(const Bookmark&, const Bookmark&) = default;
};

size_t qHash(const Bookmark& bookmark, size_t seed = 0) noexcept;

struct Bookmarks {
    QList<Bookmark> items;

    // True when some item's url is exactly the address trimmed of white space
    // and line breaks at both ends (item urls are compared untrimmed).
    bool contains(const QString& address) const;
    // Appends the trimmed address with a new id unless it is empty or present.
    void add(const QString& address);
    // The items whose url is not blank once spaces and tabs are trimmed.
    QList<Bookmark> nonBlankItems() const;

    // Compact JSON array of {"id","url"} objects.
    QString toText() const;
    // The whole list, or nothing when any part of the text is unreadable.
    static std::optional<Bookmarks> fromText(const QString& text);
    // The readable items of a stored array and how many were set aside; nothing
    // when the text is not a JSON array at all.
    static std::optional<std::pair<Bookmarks, qsizetype>> readableItems(const QString& text);
    // The list `ours` became from `base`, with what another program made of
    // `base` meanwhile (`theirs`) kept, item by id: their additions follow
    // ours (an address we hold already is not added twice), their removals
    // and edits hold for items we left unchanged.
    static Bookmarks merged(const Bookmarks& base, const Bookmarks& ours, const Bookmarks& theirs);

    // Lists are equal when their stored texts are identical.
    friend bool operator==(const Bookmarks& a, const Bookmarks& b) { return a.toText() == b.toText(); }
};

struct FrequencyBookmark {
    QUuid id;
    double frequencyKHz = 0.0;
    Mode mode = Mode::lsb;
    std::optional<QString> name;

    // "7200.00 kHz LSB" in the current locale, led by "name — " when the name
    // is not blank.
    QString title() const;

    friend bool operator==(const FrequencyBookmark&, const FrequencyBookmark&) = default;
};

size_t qHash(const FrequencyBookmark& bookmark, size_t seed = 0) noexcept;

struct FrequencyBookmarks {
    QList<FrequencyBookmark> items;

    // True when an item of this mode lies within 0.005 kHz of the frequency.
    bool contains(Mode mode, double frequencyKHz) const;
    // Appends the frequency rounded to 0.01 kHz with a new id and no name,
    // unless contains() is true or the frequency is not a finite number.
    void add(Mode mode, double frequencyKHz);

    // Compact JSON array of {"id","frequencyKHz","mode"[,"name"]} objects. An
    // item whose frequency is not finite has no JSON form and is left out.
    QString toText() const;
    // The whole list, or nothing when any part of the text is unreadable.
    static std::optional<FrequencyBookmarks> fromText(const QString& text);
    static std::optional<std::pair<FrequencyBookmarks, qsizetype>> readableItems(const QString& text);
    // As Bookmarks::merged; the same mode and frequency is not added twice.
    static FrequencyBookmarks merged(const FrequencyBookmarks& base, const FrequencyBookmarks& ours,
                                     const FrequencyBookmarks& theirs);

    friend bool operator==(const FrequencyBookmarks& a, const FrequencyBookmarks& b)
    {
        return a.toText() == b.toText();
    }
};
