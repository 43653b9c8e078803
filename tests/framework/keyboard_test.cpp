// SPDX-License-Identifier: GPL-2.0-or-later
// Keys: the accelerator table takes its combinations before any view sees them; other keys reach
// the active view's OnKeyDown with their virtual-key codes, except those held with Alt.

#include "framework/afxres.h"
#include "framework/cmultidoctemplate.h"
#include "tests/framework/frameworkfixture.h"
#include "tests/framework/testmainframe.h"
#include "tests/framework/testresources.h"
#include "tests/framework/testview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

namespace {
class Keyboard : public FrameworkFixture {
protected:
    void SetUp() override
    {
        FrameworkFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_document = Template(IDR_TYPE_A)->OpenDocumentFile(MakeFile("keys.jpg"), true);
        m_view = ViewOf(m_document);
        ASSERT_NE(m_view, nullptr);
    }

    // Presses `key` on the view's window and returns the codes its OnKeyDown received, leaving
    // out the presses of Shift and Ctrl themselves, which views receive as on the original
    // platform.
    std::vector<UINT> Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        m_view->m_keys.clear();
        QTest::keyClick(m_view->GetSafeWidget(), key, modifiers);
        std::vector<UINT> codes;
        for (const ReceivedKey& received : m_view->m_keys)
            if (received.nChar != VK_SHIFT && received.nChar != VK_CONTROL)
                codes.push_back(received.nChar);
        return codes;
    }

    CDocument* m_document = nullptr;
    CTestView* m_view = nullptr;
};

using Codes = std::vector<UINT>;
} // namespace

TEST_F(Keyboard, KeysOutsideTheTableReachTheViewWithTheirVirtualKeyCodes)
{
    EXPECT_EQ(Press(Qt::Key_A), Codes{0x41});
    EXPECT_EQ(Press(Qt::Key_F), Codes{0x46});
    EXPECT_EQ(Press(Qt::Key_Delete), Codes{0x2E});
    EXPECT_EQ(Press(Qt::Key_Return), Codes{0x0D});
    EXPECT_EQ(Press(Qt::Key_Enter, Qt::KeypadModifier), Codes{0x0D});
    EXPECT_EQ(Press(Qt::Key_Plus, Qt::KeypadModifier), Codes{0x6B});
    EXPECT_EQ(Press(Qt::Key_Minus, Qt::KeypadModifier), Codes{0x6D});
    EXPECT_EQ(Press(Qt::Key_5), Codes{0x35});
    EXPECT_EQ(Press(Qt::Key_F2), Codes{0x71});
}

TEST_F(Keyboard, MainKeyboardPlusAndMinusAreNotTheKeypadCodes)
{
    const Codes plus = Press(Qt::Key_Plus, Qt::ShiftModifier);
    ASSERT_EQ(plus.size(), 1u);
    EXPECT_NE(plus[0], 0x6Bu);
    const Codes equal = Press(Qt::Key_Equal);
    ASSERT_EQ(equal.size(), 1u);
    EXPECT_NE(equal[0], 0x6Bu);
    const Codes minus = Press(Qt::Key_Minus);
    ASSERT_EQ(minus.size(), 1u);
    EXPECT_NE(minus[0], 0x6Du);
}

TEST_F(Keyboard, ControlHeldDuringTheKeyIsVisibleToTheHandler)
{
    EXPECT_EQ(Press(Qt::Key_A, Qt::ControlModifier), Codes{0x41});
    ASSERT_FALSE(m_view->m_keys.empty());
    EXPECT_EQ(m_view->m_keys.back().nChar, 0x41u);
    EXPECT_TRUE(m_view->m_keys.back().ctrlDown);
    Press(Qt::Key_A);
    ASSERT_EQ(m_view->m_keys.size(), 1u);
    EXPECT_FALSE(m_view->m_keys[0].ctrlDown);
}

TEST_F(Keyboard, TableCombinationRunsItsCommandInsteadOfReachingTheView)
{
    EXPECT_TRUE(Press(Qt::Key_T, Qt::ControlModifier).empty());
    EXPECT_EQ(CommandLog(), QStringList{LogEntry("view keys.jpg", ID_CMD_VIEW)});
}

TEST_F(Keyboard, TableCombinationNeverReachesTheViewEvenWhenItsCommandIsDisabled)
{
    EXPECT_FALSE(Frame()->IsCommandEnabled(ID_FILE_SAVE));
    EXPECT_FALSE(Frame()->IsCommandEnabled(ID_CMD_GREYED));
    EXPECT_TRUE(Press(Qt::Key_S, Qt::ControlModifier).empty());
    EXPECT_TRUE(Press(Qt::Key_G, Qt::ControlModifier).empty());
    EXPECT_TRUE(Press(Qt::Key_Delete, Qt::ShiftModifier).empty());
    EXPECT_TRUE(Press(Qt::Key_F6).empty());
    EXPECT_TRUE(Press(Qt::Key_Backspace, Qt::AltModifier).empty());
    EXPECT_TRUE(CommandLog().isEmpty()) << CommandLog().join(' ').toStdString();
    EXPECT_EQ(Press(Qt::Key_Delete), Codes{0x2E}) << "the same key without Shift is the view's";
}

TEST_F(Keyboard, KeysHeldWithAltNeverReachTheView)
{
    EXPECT_TRUE(Press(Qt::Key_A, Qt::AltModifier).empty());
    EXPECT_TRUE(Press(Qt::Key_F, Qt::AltModifier | Qt::ShiftModifier).empty());
    EXPECT_TRUE(Press(Qt::Key_Return, Qt::AltModifier).empty());
    EXPECT_TRUE(Press(Qt::Key_Alt).empty()) << "the Alt key itself";
    // Alt held down repeats its own press, which then reports Alt as already held.
    m_view->m_keys.clear();
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier, QString(), true);
    QApplication::sendEvent(m_view->GetSafeWidget(), &repeat);
    EXPECT_TRUE(m_view->m_keys.empty()) << "a repeated Alt";
    EXPECT_EQ(Press(Qt::Key_A), Codes{0x41}) << "and the view still gets its keys";
}

