#pragma once
// "Black White Filter": tunes a working copy of the tone filter's settings,
// shown on the picture through the opener's preview while open (Show, or every
// change with Continuous Update on). The caller keeps or drops the result.
#include "dialogs/Preview.h"
#include "framework/CDialogBase.h"
#include "filter/FilterDlgModel.h"
#include "filter/FilterSettings.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace lumacut {

class HistogramWidget;

class CFilterDlg : public CDialogBase {
    Q_OBJECT
public:
    explicit CFilterDlg(QWidget* parent = nullptr);

    // The working copy and the New Picture's colour count (2, 256 or 0).
    void LoadSettings(const FilterSettings& settings, int outputColors);
    // The largest adaptive radius the picture allows (at least 1); set before
    // LoadSettings.
    void SetAdaptiveRadiusLimit(int limit) { m_radiusLimit = limit < 1 ? 1 : limit; }
    void StoreSettings(FilterSettings& settings) const;
    // Where Show renders and Swap View switches; without one they do nothing.
    void SetPreview(IPreview* preview) { m_preview = preview; }

    // Button 141: renders through the preview when the settings differ from
    // those last rendered (or loaded).
    void Show();

    // ---- members ------------------------------------------------------------------
    FilterDlgValues m_values;
    int m_outputColors = kOutputColorsTwo;
    FilterSettings m_lastShown;
    int m_radiusLimit = kDefaultAdaptiveRadius;

    // ---- controls, for the event helpers of tests --------------------------------
    QLineEdit* m_editRed;        // 142
    QLineEdit* m_editGreen;      // 143
    QLineEdit* m_editBlue;       // 144
    QCheckBox* m_activeRed;      // 138
    QCheckBox* m_activeGreen;    // 139
    QCheckBox* m_activeBlue;     // 140
    std::array<QRadioButton*, 4> m_kind; // 109..112
    QCheckBox* m_negative;       // 146
    QCheckBox* m_continuous;     // 148
    QSlider* m_lightDark;        // 147
    QSlider* m_contrast;         // 122
    QSlider* m_gamma;            // 123
    QSlider* m_sharpness;        // 124
    // The value beside each slider: Light/Dark, Contrast, Gamma, Sharpness.
    std::array<QLabel*, 4> m_sliderValues;
    QPushButton* m_show;         // 141
    QPushButton* m_chooseColor;  // 145
    QPushButton* m_swapView;     // 149
    QPushButton* m_ok;
    QPushButton* m_cancel;
    // Two-colour output only.
    QGroupBox* m_twoColor;
    QComboBox* m_dither;
    QCheckBox* m_linearLight;
    QPushButton* m_auto;
    QCheckBox* m_adaptive;
    QLineEdit* m_editRadius;
    QLineEdit* m_editK;
    QLabel* m_radiusRange;
    // Two-colour and grey output.
    HistogramWidget* m_histogram;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnInitDialog() override;
    void OnOK() override;

private:
    void OnChanged();
    void OnContinuousUpdate();
    void OnChooseColor();
    void OnSwapView();
    void OnAuto();
    void ApplyLayout();
    void PlaceSliders();
    void UpdateHistogram();
    void ReadSliders();

    IPreview* m_preview = nullptr;
};

} // namespace lumacut
