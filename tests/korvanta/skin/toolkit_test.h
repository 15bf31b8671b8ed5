#pragma once
// The window toolkit's tests run on the offscreen platform with the
// program's look, the English language file and empty settings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>

#include "korvanta/core/document_reset.h"
#include "korvanta/skin/context_menu_popup.h"
#include "korvanta/skin/program_look.h"

namespace kvtest {

class ToolkitTest : public testing::Test {
protected:
    ToolkitTest() {
        ApplyProgramLook(application_);
        ResetDocuments();
        LanguageDocument().Load(KORVANTA_SOURCE_DIR "/korvanta/resources/Language.ini");
    }
    ~ToolkitTest() override { ReleaseContextMenu(); }

    // Lets Qt work until condition holds or five seconds pass.
    template <typename Condition>
    static bool WaitFor(Condition condition) {
        const QDeadlineTimer deadline(5000);
        while (!condition() && !deadline.hasExpired())
            QTest::qWait(10);
        return condition();
    }

    int argc_ = 0;
    QApplication application_{argc_, nullptr};
};

}  // namespace kvtest
