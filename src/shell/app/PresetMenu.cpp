#include "app/PresetMenu.h"

#include "document/CDibDoc.h"
#include "document/Preset.h"
#include "framework/GuiPrompt.h"
#include "framework/LongWork.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"
#include "view/CDibView.h"

#include <QAction>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

#include <filesystem>
#include <fstream>

namespace lumacut {

namespace fs = std::filesystem;

namespace {

std::string PathOf(const QString& name)
{
    return (EditorPresetFolder() + QLatin1Char('/') + name + QString::fromLatin1(kPresetEnding)).toStdString();
}

std::vector<PresetEntry> CurrentPresets()
{
    return ListPresets(EditorPresetFolder().toStdString(), ShippedPresetFolder());
}

// A name asked in a small dialog through the prompt seam; empty when cancelled.
std::optional<QString> AskName(const QString& title, const QString& initial, QWidget* parent)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(QStringLiteral("Preset name:"));
    dialog.setTextValue(initial);
    if (Gui().RunModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue().trimmed();
}

bool CheckName(const QString& name)
{
    if (IsValidPresetName(name.toStdString()))
        return true;
    ShowMessage(msg::Join(msg::kPresetBadName, name.toStdString()));
    return false;
}

bool AskReplace(const QString& name, QWidget* parent)
{
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kAppCaption),
                    QString::fromLatin1(msg::kPresetExists.data(), msg::kPresetExists.size()) + name +
                        QStringLiteral("\nReplace it?"),
                    QMessageBox::Yes | QMessageBox::No, parent);
    return Gui().RunModal(box) == QMessageBox::Yes;
}

} // namespace

QString EditorPresetFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/presets");
}

bool ApplyPresetToView(CDibView& view, const Preset& preset)
{
    CDibDoc* doc = view.GetDocument();
    if (!doc || !doc->m_pictureReady || !ApplyPresetRendering(*doc, preset))
        return false;
    doc->RecordStep("Apply Preset");
    doc->SetModifiedFlag(true);
    doc->UpdateAllViews(nullptr, 0);
    view.Invalidate(false);
    return true;
}

bool ApplyPresetFile(CDibView& view, const std::string& path)
{
    Preset preset;
    std::string error;
    if (!ReadPresetFile(path, preset, error)) {
        ShowMessage(error);
        return false;
    }
    return ApplyPresetToView(view, preset);
}

bool SavePresetOfView(CDibView& view)
{
    CDibDoc* doc = view.GetDocument();
    if (!doc)
        return false;
    const std::optional<QString> name = AskName(QStringLiteral("Save Preset"), QString(), &view);
    if (!name || !CheckName(*name))
        return false;
    const std::string path = PathOf(*name);
    std::error_code ec;
    if (fs::exists(path, ec) && !AskReplace(*name, &view))
        return false;
    fs::create_directories(EditorPresetFolder().toStdString(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << WritePresetText(PresetFromDocument(*doc));
    out.close();
    if (!out) {
        ShowMessage(msg::Join(msg::kPresetNotSaved, path));
        return false;
    }
    return true;
}

void ManagePresets(QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Manage Presets"));
    auto* list = new QListWidget(&dialog);
    auto* rename = new QPushButton(QStringLiteral("&Rename..."), &dialog);
    auto* remove = new QPushButton(QStringLiteral("&Delete"), &dialog);
    auto* folder = new QPushButton(QStringLiteral("&Open Folder"), &dialog);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    auto* side = new QVBoxLayout;
    side->addWidget(rename);
    side->addWidget(remove);
    side->addWidget(folder);
    side->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(list);
    row->addLayout(side);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(row);
    layout->addWidget(buttons);

    std::vector<PresetEntry> entries;
    const auto refill = [&] {
        entries = CurrentPresets();
        list->clear();
        for (const PresetEntry& e : entries)
            list->addItem(QString::fromStdString(e.name) + (e.shipped ? QStringLiteral("  (shipped)") : QString()));
    };
    // The shipped presets are read-only.
    const auto selected = [&]() -> const PresetEntry* {
        const int row = list->currentRow();
        return row >= 0 && row < static_cast<int>(entries.size()) && !entries[row].shipped ? &entries[row] : nullptr;
    };
    const auto updateButtons = [&] {
        rename->setEnabled(selected() != nullptr);
        remove->setEnabled(selected() != nullptr);
    };
    QObject::connect(list, &QListWidget::currentRowChanged, &dialog, updateButtons);
    QObject::connect(rename, &QPushButton::clicked, &dialog, [&] {
        const PresetEntry* entry = selected();
        if (!entry)
            return;
        const std::optional<QString> name =
            AskName(QStringLiteral("Rename Preset"), QString::fromStdString(entry->name), &dialog);
        if (!name || !CheckName(*name) || name->toStdString() == entry->name)
            return;
        const std::string target = PathOf(*name);
        std::error_code ec;
        if (fs::exists(target, ec)) {
            ShowMessage(msg::Join(msg::kPresetExists, name->toStdString()));
            return;
        }
        fs::rename(entry->path, target, ec);
        if (ec)
            ShowMessage(msg::Join(msg::kPresetNotRenamed, name->toStdString()));
        refill();
        updateButtons();
    });
    QObject::connect(remove, &QPushButton::clicked, &dialog, [&] {
        const PresetEntry* entry = selected();
        if (!entry)
            return;
        std::error_code ec;
        if (!fs::remove(entry->path, ec))
            ShowMessage(msg::Join(msg::kPresetNotDeleted, entry->path));
        refill();
        updateButtons();
    });
    QObject::connect(folder, &QPushButton::clicked, &dialog, [] {
        QDir().mkpath(EditorPresetFolder());
        QDesktopServices::openUrl(QUrl::fromLocalFile(EditorPresetFolder()));
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    refill();
    updateButtons();
    Gui().RunModal(dialog);
}

void FillPresetList(QMenu& menu, const std::function<CDibView*()>& activeView)
{
    for (QAction* action : menu.actions())
        if (action->property("presetList").toBool())
            delete action;
    const std::vector<PresetEntry> entries = CurrentPresets();
    if (entries.empty())
        return;
    menu.addSeparator()->setProperty("presetList", true);
    for (const PresetEntry& entry : entries) {
        QString text = QString::fromStdString(entry.name).replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = menu.addAction(text);
        action->setProperty("presetList", true);
        action->setEnabled(activeView() && activeView()->HasPicture());
        QObject::connect(action, &QAction::triggered, &menu, [activeView, path = entry.path] {
            if (CDibView* view = activeView())
                ApplyPresetFile(*view, path);
        });
    }
}

} // namespace lumacut
