// Pictures drawn again from a translated copy of their drawing: the labels with the names in
// another language. The translated copies are made by the translators' tools (msgfmt --xml) from
// the English drawing; a name left untranslated stays English there.
//
// Only the pictures that come out different from the English ones are kept, each stored as the
// compressed difference from the English bytes (most of a label is the same strip and picture),
// which the program undoes for the one language it shows.
#pragma once

#include <string>
#include <vector>

#include "encode.h"
#include "manifest.h"

struct TranslatedPicture {
    std::string language;
    int id = 0;
    Bytes bytes;   // the translated picture, in the English one's format
    Bytes packed;  // what the program gets: deflated (translated bytes XOR English bytes)
};

// Every bmp24 entry whose drawing also lies under `folder` (the same path below it as below the
// art folder) is rendered from there; `english[i]` holds the bytes made for `entries[i]`. A label
// whose name does not fit its strip fails with a message naming the language, the label and the
// name. Pictures that differ from the English are appended to `out`.
bool RenderTranslation(const std::string& language, const std::string& folder,
                       const std::vector<ManifestEntry>& entries, const std::vector<Bytes>& english,
                       std::vector<TranslatedPicture>& out);
