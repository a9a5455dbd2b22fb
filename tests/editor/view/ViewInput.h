#pragma once
// A view on the test document for the tests of the mouse, the keys and the
// clipboard: Qt Test's events headless, dialogs answered through the prompt
// seam.
#include "framework/CommandIds.h"
#include "framework/GuiPrompt.h"
#include "document/CDibDoc.h"
#include "dialogs/CTiltDlg.h"
#include "dialogs/CColorListDlg.h"
#include "dialogs/CFilterDlg.h"
#include "picture/ClipboardDib.h"
#include "picture/Dib.h"
#include "platform/Messages.h"
#include "view/CDibView.h"
#include "view/ClipboardImage.h"
#include "support/Printers.h"
#include "support/ScriptedGuiPrompt.h"
#include "support/TestDocument.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace lumacut {

namespace viewtest {

inline constexpr int kWidth = 200;
inline constexpr int kHeight = 100;

// The Original's colour at top-down pixel (x, y), as a colour pick gives it.
inline std::uint32_t ColorAt(int x, int y)
{
    const std::uint32_t c = test::TestOriginalColor(x, y);
    return MakeColor(static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c));
}

// The Original as an image another program might put on the clipboard.
inline QImage TestImage()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            image.setPixel(x, y, 0xFF000000u | test::TestOriginalColor(x, y));
    return image;
}

inline int Pop(std::deque<int>& answers, int otherwise)
{
    if (answers.empty())
        return otherwise;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

// Answers the view's dialogs from scripts and records what they were given.
struct DialogScript {
    std::deque<int> tiltAnswers; // none left: Cancel
    std::vector<std::pair<std::string, std::string>> tiltLabels;
    std::deque<int> listAnswers; // none left: Cancel
    std::vector<std::uint32_t> listColors;
    std::vector<std::uint32_t> filterColors; // the filter dialog is cancelled

    int Run(QDialog& dialog)
    {
        if (auto* tilt = qobject_cast<CTiltDlg*>(&dialog)) {
            tiltLabels.push_back({tilt->m_horizontalText, tilt->m_verticalText});
            return Pop(tiltAnswers, kResultTiltCancel);
        }
        if (auto* list = qobject_cast<CColorListDlg*>(&dialog)) {
            listColors.push_back(list->m_pickedColor);
            return Pop(listAnswers, QDialog::Rejected);
        }
        if (auto* filter = qobject_cast<CFilterDlg*>(&dialog)) {
            FilterSettings settings;
            filter->StoreSettings(settings);
            filterColors.push_back(settings.color);
        }
        return QDialog::Rejected;
    }
};

} // namespace viewtest

class ViewInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_prompt.onModal = [this](QDialog& dialog) { return m_dialogs.Run(dialog); };
        m_prompt.outputChoices.assign(8, kOutputTrueColor);
        LoadPictures(test::Output::TrueColor);
        m_doc.SetTitle("test.bmp");
        m_view = std::make_unique<CDibView>(&m_doc);
        m_view->resize(320, 240);
        m_view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_view.get()));
        m_view->OnInitialUpdate();
        Paint();
        m_prompt.messages.clear();
    }

    // The test document's pictures, the New Picture of the kind rendered from
    // the Original, as the set-up of a loaded picture leaves them.
    void LoadPictures(test::Output kind)
    {
        test::LoadTestPictures(m_doc, viewtest::kWidth, viewtest::kHeight, kind);
        m_doc.ApplyFilter(m_doc.m_filter);
    }

    // A full paint: sets the display scales and scroll position, ends drags.
    void Paint()
    {
        m_view->Invalidate(true);
        m_view->viewport()->repaint();
    }
    QWidget* Client() { return m_view->viewport(); }
    void Press(QPoint p, Qt::MouseButton button = Qt::LeftButton) { QTest::mousePress(Client(), button, {}, p); }
    void Move(QPoint p) { QTest::mouseMove(Client(), p); }
    void Release(QPoint p) { QTest::mouseRelease(Client(), Qt::LeftButton, {}, p); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(m_view.get(), key, modifiers); }
    void Char(char c) { QTest::keyClick(m_view.get(), c); }
    void ShowNew()
    {
        m_view->OnShowNew();
        Paint();
    }
    std::vector<std::uint8_t> NewPictureBytes() const
    {
        const CMemBlock packed = PackedDibOf(m_doc.m_picNew);
        return {packed.Data(), packed.Data() + packed.Size()};
    }

    ScriptedGuiPrompt m_prompt;
    ScopedGuiPrompt m_scoped{m_prompt};
    viewtest::DialogScript m_dialogs;
    CDibDoc m_doc;
    std::unique_ptr<CDibView> m_view;
};


} // namespace lumacut
