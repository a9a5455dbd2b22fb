#include "app/ColorChooser.h"

#include "app/CDialogBase.h"
#include "filter/FilterSettings.h"

#include <QColorDialog>

namespace lumacut {

bool ChooseSystemColor(std::uint32_t initial, std::uint32_t& chosen)
{
    // No parent, opened on the initial colour, any colour allowed.
    QColorDialog dialog(QColor(RedOf(initial), GreenOf(initial), BlueOf(initial)));
    dialog.setObjectName("systemColorDialog");
    dialog.setOption(QColorDialog::DontUseNativeDialog, false);
    if (RunModalDialog(dialog) != QDialog::Accepted)
        return false;
    QColor c = dialog.selectedColor().isValid() ? dialog.selectedColor() : dialog.currentColor();
    chosen = MakeColor(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                       static_cast<std::uint8_t>(c.blue()));
    return true;
}

} // namespace lumacut
