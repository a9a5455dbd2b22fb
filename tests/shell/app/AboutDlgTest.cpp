// The about box: the help text's exact joins and paragraphs, the JPEG
// authors' line, the dialog's read-only field and its one button.
#include "app/CAboutDlg.h"
#include "app/HelpText.h"

#include "support/StartedApp.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace lumacut;

namespace {
std::vector<std::string> Split(const std::string& text, const std::string& sep)
{
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        auto at = text.find(sep, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string::npos)
            return parts;
        start = at + sep.size();
    }
}
} // namespace

TEST(HelpText, EightParagraphsJoinedBySevenCrLfPairs)
{
    std::string text = BuildHelpText();
    std::vector<std::string> paragraphs = Split(text, "\r\n");
    ASSERT_EQ(paragraphs.size(), 8u);
    for (const std::string& p : paragraphs) {
        EXPECT_FALSE(p.empty());
        EXPECT_EQ(p.find('\r'), std::string::npos);
        EXPECT_EQ(p.find('\n'), std::string::npos);
    }
    EXPECT_NE(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(paragraphs[0].rfind("This program is made to do two things: create black and white", 0), 0u);
    EXPECT_EQ(paragraphs[1],
              "It reads and writes BMP, JPEG, PNG and TIFF files, and turns photos from phones and cameras upright. "
              "Copy / paste still works for pictures from other programs: open the picture in that program, use "
              "ctrl a to select all and ctrl c to copy, then switch to Lumacut and use ctrl v to paste it.");
    EXPECT_EQ(paragraphs[5],
              "If you don't want to change the filter color, but do want to get the filter menu, use the menu bar to "
              "get the filter dialog.");
}

TEST(HelpText, PiecesFollowEachOtherWithoutAddedBlanks)
{
    std::string text = BuildHelpText();
    for (const char* join :
         {"in the filter.The filter dialog", "select the filter.The default value", "too slow. And you should",
          "linear response.Define sharp", "will become black, similair with white.",
          "appear white. How sharp of broad", "certain area: footprint.", "the choise of a filter, and it can magnify"})
        EXPECT_NE(text.find(join), std::string::npos) << join;
}

TEST(HelpText, LastParagraphNamesTheJpegAuthorsFromTheLibrarysReadme)
{
    std::string last = Split(BuildHelpText(), "\r\n").back();
    EXPECT_EQ(last,
              "About the JPEG part: This software is the work of Tom Lane, Guido Vollbeding, Philip Gladstone, "
              "Bill Allombert, Jim Boucher, Lee Crocker, Bob Friesenhahn, Ben Jackson, Julian Minguillon, "
              "Luis Ortiz, George Phillips, Davide Rossi, Ge' Weijers, and other members of the Independent JPEG "
              "Group.");
}

TEST(AboutDlg, ShowsTheTextReadOnlyAndClosesWithOkay)
{
    ScriptedGuiPrompt prompt;
    ScopedGuiPrompt p(prompt);
    std::string shown;
    bool readOnly = false;
    QStringList labels;
    ScriptModalRuns(prompt, {[&](QDialog& d) {
        auto& dlg = dynamic_cast<CAboutDlg&>(d);
        shown = dlg.m_helpText.toStdString();
        readOnly = dlg.m_text->isReadOnly();
        for (QLabel* l : dlg.findChildren<QLabel*>())
            labels << l->text();
        EXPECT_EQ(dlg.m_text->document()->blockCount(), 8);
        auto* icon = dlg.findChild<QLabel*>("programIcon");
        EXPECT_TRUE(icon && !icon->pixmap().isNull()) << "the program icon";
        EXPECT_EQ(dlg.m_okay->text(), "Okay");
        EXPECT_TRUE(dlg.m_okay->isDefault());
        dlg.m_okay->click();
        return dlg.result();
    }});
    RunAboutBox();
    EXPECT_EQ(prompt.modalTitles.size(), 1u);
    EXPECT_EQ(shown, BuildHelpText());
    EXPECT_TRUE(readOnly);
    EXPECT_TRUE(labels.contains("Lumacut Application Version 2.0"));
    EXPECT_TRUE(labels.contains(kAboutNotice));
}

TEST(AboutDlg, HelpMenuCommandRunsTheBox)
{
    StartedApp s;
    ASSERT_TRUE(s.started);
    bool wasAbout = false;
    s.prompt.onModal = [&](QDialog& d) {
        wasAbout = dynamic_cast<CAboutDlg*>(&d) != nullptr;
        d.reject();
        return d.result();
    };
    ASSERT_TRUE(s.Frame()->OnCmdMsg(ID_APP_ABOUT));
    EXPECT_TRUE(wasAbout);
}
