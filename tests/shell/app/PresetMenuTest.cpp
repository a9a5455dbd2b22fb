// The Presets menu: the renderer finds the editor's folder without Qt, Save
// Preset writes what an entry of the menu applies back, and bad names are
// refused.
#include "app/PresetMenu.h"
#include "document/Preset.h"
#include "platform/Messages.h"
#include "support/BmpBuilder.h"
#include "support/StartedApp.h"

#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QListWidget>
#include <QPushButton>
#include <QMenu>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lumacut {
namespace {

// The user's data folder in a temporary folder for the test, and the
// program's names, as the editor sets them.
struct PresetHome {
    PresetHome()
    {
        saved = qgetenv("XDG_DATA_HOME");
        hadValue = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
        QCoreApplication::setOrganizationName(QStringLiteral("Lumacut"));
        QCoreApplication::setApplicationName(QStringLiteral("lumacut"));
    }
    ~PresetHome()
    {
        if (hadValue)
            qputenv("XDG_DATA_HOME", saved);
        else
            qunsetenv("XDG_DATA_HOME");
        QCoreApplication::setOrganizationName(QStringLiteral("LumacutTests"));
        QCoreApplication::setApplicationName(QStringLiteral("lumacut-tests"));
    }
    QTemporaryDir dir;
    QByteArray saved;
    bool hadValue = false;
};

// Answers the name dialogs with `names` in turn.
void AnswerNames(ScriptedGuiPrompt& prompt, QStringList names)
{
    prompt.onModal = [names](QDialog& dialog) mutable {
        auto* input = qobject_cast<QInputDialog*>(&dialog);
        if (!input || names.isEmpty())
            return int(QDialog::Rejected);
        input->setTextValue(names.takeFirst());
        return int(QDialog::Accepted);
    };
}

TEST(PresetMenu, TheRenderersFolderIsTheEditors)
{
    PresetHome home;
    for (const QByteArray& value : {home.dir.path().toLocal8Bit(), QByteArray(), QByteArray("relative/share")}) {
        qputenv("XDG_DATA_HOME", value);
        EXPECT_EQ(EditorPresetFolder().toStdString(), UserPresetFolder()) << value.constData();
    }
}

TEST(PresetMenu, SavedPresetAppliesTheSameSettingsAndPicture)
{
    PresetHome home;
    StartedApp s;
    const QString picture = home.dir.filePath(QStringLiteral("in.bmp"));
    test::WriteBmp24(picture.toStdString(), 40, 30, [](int x, int y) { return std::uint32_t(x * 6 << 16 | y * 8 << 8 | 90); });
    s.prompt.outputChoices = {kOutputGrey};
    CDibDoc* doc = s.Docs().OpenDocumentFile(picture);
    ASSERT_NE(doc, nullptr);
    doc->m_filter.lightDark = -30;
    doc->m_filter.gamma = 70;
    doc->m_scale = 0.5;
    doc->ApplyFilter(doc->m_filter);
    const FilterSettings edited = doc->m_filter;
    const QString before = home.dir.filePath(QStringLiteral("before.bmp"));
    ASSERT_TRUE(doc->OnSaveDocument(before.toStdString()));

    AnswerNames(s.prompt, {QStringLiteral("Mine")});
    s.Frame()->OnCmdMsg(ID_PRESET_SAVE);
    EXPECT_TRUE(QFile::exists(EditorPresetFolder() + QStringLiteral("/Mine.preset")));
    EXPECT_TRUE(s.prompt.Texts(false).empty());

    // Back to the defaults in two colours, then the menu entry.
    ApplyPresetToDocument(*doc, Preset{});
    ASSERT_NE(doc->m_filter, edited);
    QMenu menu;
    FillPresetList(menu, [&] { return s.Frame()->ActiveView(); });
    QAction* mine = nullptr;
    for (QAction* action : menu.actions())
        if (action->text() == QStringLiteral("Mine"))
            mine = action;
    ASSERT_NE(mine, nullptr);
    mine->trigger();
    EXPECT_EQ(doc->m_filter, edited);
    EXPECT_EQ(doc->m_scale, 0.5);
    EXPECT_EQ(doc->m_picNew.Colors(), 256);
    const QString after = home.dir.filePath(QStringLiteral("after.bmp"));
    ASSERT_TRUE(doc->OnSaveDocument(after.toStdString()));
    QFile a(before), b(after);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_TRUE(a.readAll() == b.readAll());
}

TEST(PresetMenu, SavePresetRefusesEmptyNamesAndPathSeparators)
{
    PresetHome home;
    StartedApp s;
    const QString picture = home.dir.filePath(QStringLiteral("in.bmp"));
    test::WriteBmp24(picture.toStdString(), 8, 8, [](int x, int y) { return std::uint32_t(x * 30 + y); });
    ASSERT_NE(s.Docs().OpenDocumentFile(picture), nullptr);
    s.prompt.messages.clear();
    for (const QString& bad : {QString(), QStringLiteral("a/b"), QStringLiteral("..")}) {
        AnswerNames(s.prompt, {bad});
        s.Frame()->OnCmdMsg(ID_PRESET_SAVE);
        ASSERT_FALSE(s.prompt.messages.empty());
        EXPECT_EQ(s.prompt.messages.back().text, msg::Join(msg::kPresetBadName, bad.toStdString()));
    }
    EXPECT_TRUE(ListPresets(EditorPresetFolder().toStdString(), "").empty());
}

TEST(PresetMenu, ManageRenamesAndDeletesOnlyTheUsersPresets)
{
    PresetHome home;
    StartedApp s;
    const QString folder = EditorPresetFolder();
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char* name : {"/A.preset", "/B.preset"}) {
        QFile file(folder + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("light=1\n");
    }
    bool shippedLocked = false;
    s.prompt.onModal = [&](QDialog& dialog) {
        if (auto* input = qobject_cast<QInputDialog*>(&dialog)) {
            input->setTextValue(QStringLiteral("C"));
            return int(QDialog::Accepted);
        }
        auto* list = dialog.findChild<QListWidget*>();
        QPushButton* rename = nullptr;
        QPushButton* remove = nullptr;
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("&Rename..."))
                rename = button;
            if (button->text() == QStringLiteral("&Delete"))
                remove = button;
        }
        if (!list || !rename || !remove)
            return int(QDialog::Rejected);
        list->setCurrentRow(0); // A
        rename->click();
        list->setCurrentRow(0); // B, before C
        remove->click();
        list->setCurrentRow(list->count() - 1);
        shippedLocked = list->currentItem()->text().endsWith(QStringLiteral("(shipped)")) && !remove->isEnabled();
        return int(QDialog::Rejected);
    };
    s.Frame()->OnCmdMsg(ID_PRESET_MANAGE);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), (QStringList{QStringLiteral("C.preset")}));
    EXPECT_TRUE(shippedLocked);
}

} // namespace
} // namespace lumacut
