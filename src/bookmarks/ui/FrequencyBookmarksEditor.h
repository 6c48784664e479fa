#pragma once
// The window "Bookmarks": the frequency bookmarks, each a row of title,
// frequency, "kHz" and mode, with "Delete". Bookmarks are added from the main
// window and the tuning panel.

#include "bookmarks/ui/BookmarkListEditor.h"

class Preferences;

class FrequencyBookmarksEditor : public BookmarkListEditor {
    Q_OBJECT
public:
    // Edits the frequency bookmarks kept in `preferences`.
    explicit FrequencyBookmarksEditor(Preferences& preferences, QWidget* parent = nullptr);

protected:
    QByteArray fileText(BookmarkFileFormat format) const override;
    ImportOffer offerImport(const QByteArray& data) const override;

private:
    void openModeChoices();
};
