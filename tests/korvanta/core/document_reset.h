#pragma once
// Empties the four process-wide documents, so each test starts without
// settings or texts and without a file to save to.
#include "korvanta/core/ini_documents.h"

inline void ResetDocuments() {
    for (IniFile* document : {&SettingsDocument(), &LanguageDocument(), &ApplicationDocument(), &TransientDocument()})
        document->Load("/nonexistent-korvanta-test-folder/none.ini");
}
