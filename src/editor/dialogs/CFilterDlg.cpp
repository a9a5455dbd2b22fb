#include "dialogs/CFilterDlg.h"

#include "framework/GuiPrompt.h"
#include "framework/HistogramWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace lumacut {

namespace {

QLineEdit* NumberEdit(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    edit->setMaximumWidth(60);
    return edit;
}

QSlider* Slider(QWidget* parent, const SliderRange& range)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(range.minimum, range.maximum);
    slider->setTickInterval(range.tick);
    slider->setTickPosition(QSlider::TicksBelow);
    return slider;
}

// In the order the sliders are laid out: Light/Dark, Contrast, Gamma, Sharpness.
const SliderRange* const kSliderRanges[4] = {&kLightDarkSlider, &kContrastSlider, &kGammaSlider,
                                             &kSharpnessSlider};

QString SliderText(const SliderRange& range, int value)
{
    return QString::number(value) + QString::fromLatin1(range.unit);
}

// The value beside a slider, following it as it moves.
QLabel* SliderValue(QWidget* parent, QSlider* slider, const SliderRange& range)
{
    auto* label = new QLabel(SliderText(range, slider->value()), parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // As wide as the widest value, so the slider keeps its place.
    QFontMetrics metrics(label->font());
    label->setMinimumWidth(std::max(metrics.horizontalAdvance(SliderText(range, range.minimum)),
                                    metrics.horizontalAdvance(SliderText(range, range.maximum))));
    QObject::connect(slider, &QSlider::valueChanged, label,
                     [label, range](int value) { label->setText(SliderText(range, value)); });
    return label;
}

const char* const kShowResult = "Show Result";
const char* const kShowOriginal = "Show Origninal";

} // namespace

CFilterDlg::CFilterDlg(QWidget* parent) : CDialogBase(parent)
{
    setWindowTitle("Black White Filter");

    auto* filter = new QGroupBox("Filter", this);
    auto* grid = new QGridLayout(filter);
    m_editRed = NumberEdit(filter);
    m_editGreen = NumberEdit(filter);
    m_editBlue = NumberEdit(filter);
    m_activeRed = new QCheckBox("Active", filter);
    m_activeGreen = new QCheckBox("Active", filter);
    m_activeBlue = new QCheckBox("Active", filter);
    const char* names[3] = {"Red", "Green", "Blue"};
    QLineEdit* edits[3] = {m_editRed, m_editGreen, m_editBlue};
    QCheckBox* actives[3] = {m_activeRed, m_activeGreen, m_activeBlue};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(new QLabel(names[i], filter), i, 0);
        grid->addWidget(edits[i], i, 1);
        grid->addWidget(actives[i], i, 2);
    }
    const char* kinds[4] = {"Define Black", "Define White", "Define Other", "Define Sharp"};
    for (int i = 0; i < 4; ++i) {
        m_kind[i] = new QRadioButton(kinds[i], filter);
        grid->addWidget(m_kind[i], i, 3);
    }
    m_negative = new QCheckBox("Negative", filter);
    grid->addWidget(m_negative, 3, 0, 1, 3);

    auto* light = new QGroupBox("Light Adjustments", this);
    auto* sliders = new QGridLayout(light);
    m_lightDark = Slider(light, kLightDarkSlider);
    m_contrast = Slider(light, kContrastSlider);
    m_gamma = Slider(light, kGammaSlider);
    m_sharpness = Slider(light, kSharpnessSlider);
    const char* sliderNames[4] = {"Light/Dark", "Contrast", "Gamma", "Sharpness"};
    QSlider* all[4] = {m_lightDark, m_contrast, m_gamma, m_sharpness};
    for (int i = 0; i < 4; ++i) {
        sliders->addWidget(new QLabel(sliderNames[i], light), i, 0);
        sliders->addWidget(all[i], i, 1);
        m_sliderValues[i] = SliderValue(light, all[i], *kSliderRanges[i]);
        sliders->addWidget(m_sliderValues[i], i, 2);
    }

    // Two-colour output: how grey tones become black and white. Made after
    // the sliders and in reading order, which gives the tab order.
    m_twoColor = new QGroupBox("Black and White", this);
    auto* twoColor = new QGridLayout(m_twoColor);
    m_dither = new QComboBox(m_twoColor);
    for (const char* label : kDitherLabels)
        m_dither->addItem(QString::fromUtf8(label));
    m_linearLight = new QCheckBox("Linear light", m_twoColor);
    m_adaptive = new QCheckBox("Adaptive threshold", m_twoColor);
    m_editRadius = NumberEdit(m_twoColor);
    m_editK = new QLineEdit(m_twoColor);
    m_editK->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9.]*"), m_editK));
    m_editK->setMaximumWidth(60);
    m_auto = new QPushButton("Auto", m_twoColor);
    m_radiusRange = new QLabel(m_twoColor);
    twoColor->addWidget(new QLabel("Dither", m_twoColor), 0, 0);
    twoColor->addWidget(m_dither, 0, 1, 1, 3);
    twoColor->addWidget(m_linearLight, 0, 4, 1, 2);
    twoColor->addWidget(m_adaptive, 1, 0, 1, 2);
    twoColor->addWidget(new QLabel("Radius", m_twoColor), 1, 2);
    twoColor->addWidget(m_editRadius, 1, 3);
    twoColor->addWidget(m_radiusRange, 1, 4);
    twoColor->addWidget(new QLabel("K", m_twoColor), 2, 2);
    twoColor->addWidget(m_editK, 2, 3);
    twoColor->addWidget(new QLabel("0..1", m_twoColor), 2, 4);
    twoColor->addWidget(m_auto, 2, 0);
    twoColor->setColumnStretch(5, 1);

    m_histogram = new HistogramWidget(this);

    m_continuous = new QCheckBox("Continuous Update", this);
    m_show = new QPushButton("Show", this);
    m_chooseColor = new QPushButton("Choose Color", this);
    m_swapView = new QPushButton("Swap View", this);
    m_ok = new QPushButton("OK", this);
    m_cancel = new QPushButton("Cancel", this);
    m_show->setDefault(true);

    auto* buttons = new QVBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(m_show), static_cast<QWidget*>(m_chooseColor),
                       static_cast<QWidget*>(m_swapView), static_cast<QWidget*>(m_continuous),
                       static_cast<QWidget*>(m_ok), static_cast<QWidget*>(m_cancel)})
        buttons->addWidget(w);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(filter);
    left->addWidget(light);
    left->addWidget(m_twoColor);
    left->addWidget(m_histogram);
    auto* top = new QHBoxLayout(this);
    top->addLayout(left);
    top->addLayout(buttons);

    for (QCheckBox* box : {m_activeRed, m_activeGreen, m_activeBlue, m_negative, m_linearLight, m_adaptive})
        connect(box, &QCheckBox::clicked, this, &CFilterDlg::OnChanged);
    for (QRadioButton* radio : m_kind)
        connect(radio, &QRadioButton::clicked, this, &CFilterDlg::OnChanged);
    // A slider reports every position it passes while dragged or moved by
    // keys; with Continuous Update on the picture follows it.
    for (QSlider* slider : all) {
        connect(slider, &QSlider::valueChanged, this, &CFilterDlg::OnChanged);
        // The drag's changes already took the fields in.
        connect(slider, &QSlider::sliderReleased, this, [this] {
            if (!Initialised())
                return;
            ReadSliders();
            UpdateHistogram();
        });
    }
    connect(m_dither, &QComboBox::activated, this, &CFilterDlg::OnChanged);
    connect(m_auto, &QPushButton::clicked, this, &CFilterDlg::OnAuto);
    connect(m_continuous, &QCheckBox::clicked, this, &CFilterDlg::OnContinuousUpdate);
    connect(m_show, &QPushButton::clicked, this, &CFilterDlg::Show);
    connect(m_chooseColor, &QPushButton::clicked, this, &CFilterDlg::OnChooseColor);
    connect(m_swapView, &QPushButton::clicked, this, &CFilterDlg::OnSwapView);
    connect(m_ok, &QPushButton::clicked, this, &CFilterDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CFilterDlg::reject);
}

void CFilterDlg::LoadSettings(const FilterSettings& settings, int outputColors)
{
    lumacut::LoadSettings(m_values, settings, outputColors, m_radiusLimit);
    m_outputColors = outputColors;
    m_radiusRange->setText(QStringLiteral("1..%1").arg(m_radiusLimit));
    // An offered kind in place of the record's renders the same picture, so
    // it counts as shown already.
    m_lastShown = settings;
    m_lastShown.kind = m_values.kind;
}

void CFilterDlg::StoreSettings(FilterSettings& settings) const
{
    lumacut::StoreSettings(m_values, settings);
}

void CFilterDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Int(m_editBlue, m_values.blue, 0, 255);
    dx.Check(m_activeBlue, m_values.activeBlue);
    dx.Int(m_editGreen, m_values.green, 0, 255);
    dx.Check(m_activeGreen, m_values.activeGreen);
    dx.Int(m_editRed, m_values.red, 0, 255);
    dx.Check(m_activeRed, m_values.activeRed);
    dx.Radio({m_kind[0], m_kind[1], m_kind[2], m_kind[3]}, m_values.kind);
    dx.Check(m_negative, m_values.negative);
    dx.Choice(m_dither, m_values.dither);
    dx.Check(m_linearLight, m_values.linearLight);
    dx.Check(m_adaptive, m_values.adaptive);
    dx.Int(m_editRadius, m_values.adaptiveRadius, 1, m_radiusLimit);
    dx.Number(m_editK, m_values.adaptiveK, 0, 1);
    dx.Check(m_continuous, m_values.continuousUpdate);
    if (!dx.Failed())
        ApplyLayout();
}

void CFilterDlg::ApplyLayout()
{
    FilterDlgLayout l = LayoutFor(m_outputColors, m_values);
    QLineEdit* edits[3] = {m_editRed, m_editGreen, m_editBlue};
    for (int i = 0; i < 3; ++i)
        edits[i]->setEnabled(l.valueEnabled[i]);
    for (int i = 0; i < 4; ++i) {
        m_kind[i]->setText(QString::fromLatin1(l.kindLabels[i]));
        m_kind[i]->setEnabled(l.kindEnabled[i]);
    }
    m_lightDark->setEnabled(l.lightDarkEnabled);
    m_contrast->setEnabled(l.contrastEnabled);
    m_gamma->setEnabled(l.gammaEnabled);
    m_sharpness->setEnabled(l.sharpnessEnabled);
    m_twoColor->setVisible(l.twoColorShown);
    m_dither->setEnabled(l.ditherEnabled);
    m_linearLight->setEnabled(l.linearLightEnabled);
    m_editRadius->setEnabled(l.adaptiveFieldsEnabled);
    m_editK->setEnabled(l.adaptiveFieldsEnabled);
    m_histogram->setVisible(l.histogramShown);
}

void CFilterDlg::UpdateHistogram()
{
    if (!m_histogram->isVisibleTo(this))
        return;
    FilterSettings local;
    StoreSettings(local);
    if (m_outputColors != kOutputColorsTwo) {
        // Kept from a two-colour picture, they do not shape this one.
        local.dither = kDitherNone;
        local.adaptiveRadius = 0;
    }
    std::optional<Histogram> counts = m_preview ? m_preview->ToneHistogram(local) : std::nullopt;
    if (counts)
        m_histogram->SetCounts(*counts);
    else
        m_histogram->ClearCounts();
    m_histogram->SetMarker(ToneMarker(local, m_outputColors));
}

void CFilterDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    PlaceSliders();
    UpdateHistogram();
}

void CFilterDlg::PlaceSliders()
{
    // Placing the thumbs is no change of the user's: a report per slider
    // would read the sliders not yet placed.
    for (auto [slider, value] : {std::pair{m_contrast, m_values.contrast}, std::pair{m_lightDark, m_values.lightDark},
                                 std::pair{m_gamma, m_values.gamma}, std::pair{m_sharpness, m_values.sharpness}}) {
        QSignalBlocker block(slider);
        slider->setValue(value);
    }
    // The values beside them missed the blocked reports.
    QSlider* sliders[4] = {m_lightDark, m_contrast, m_gamma, m_sharpness};
    for (int i = 0; i < 4; ++i)
        m_sliderValues[i]->setText(SliderText(*kSliderRanges[i], sliders[i]->value()));
}

void CFilterDlg::ReadSliders()
{
    m_values.contrast = m_contrast->value();
    m_values.lightDark = m_lightDark->value();
    m_values.gamma = m_gamma->value();
    m_values.sharpness = m_sharpness->value();
}

void CFilterDlg::Show()
{
    UpdateData(true);
    ReadSliders();
    if (!m_preview)
        return;
    m_swapView->setText(m_preview->ShowsOriginal() ? kShowResult : kShowOriginal);
    FilterSettings local;
    StoreSettings(local);
    if (local == m_lastShown)
        return;
    if (m_preview->ShowFilter(local))
        m_lastShown = local;
}

void CFilterDlg::OnChanged()
{
    // Before the first exchange the controls do not hold the members yet.
    if (!Initialised())
        return;
    if (!UpdateData(true))
        return; // the refused field has the focus; nothing new to show
    ReadSliders();
    if (m_values.continuousUpdate)
        Show();
    // A dithered tone histogram costs a render: while a thumb is dragged it
    // waits for the release.
    if (!m_lightDark->isSliderDown() && !m_contrast->isSliderDown() && !m_gamma->isSliderDown() &&
        !m_sharpness->isSliderDown())
        UpdateHistogram();
}

void CFilterDlg::OnContinuousUpdate()
{
    if (!UpdateData(true))
        return;
    if (m_values.continuousUpdate)
        Show();
    UpdateData(false);
}

void CFilterDlg::OnChooseColor()
{
    if (!UpdateData(true))
        return;
    // The system colour dialog, opened on the three values.
    std::optional<QColor> chosen = Gui().ChooseColor(QColor(m_values.red, m_values.green, m_values.blue));
    if (!chosen || !chosen->isValid())
        return;
    m_values.red = chosen->red();
    m_values.green = chosen->green();
    m_values.blue = chosen->blue();
    UpdateData(false);
    OnChanged();
}

void CFilterDlg::OnSwapView()
{
    if (!m_preview)
        return;
    m_preview->SetShowsOriginal(!m_preview->ShowsOriginal());
    m_swapView->setText(m_preview->ShowsOriginal() ? kShowResult : kShowOriginal);
}

void CFilterDlg::OnAuto()
{
    if (!UpdateData(true) || !m_preview)
        return;
    ReadSliders();
    std::optional<int> t = m_preview->AutoThreshold();
    if (!t)
        return;
    FilterSettings local;
    StoreSettings(local);
    SetThreshold(local, *t);
    // A plain threshold: dithering and the adaptive threshold go off, the
    // radius field keeps its value, Continuous Update is the dialog's own.
    const FilterDlgValues before = m_values;
    lumacut::LoadSettings(m_values, local, m_outputColors, m_radiusLimit);
    m_values.continuousUpdate = before.continuousUpdate;
    m_values.adaptiveRadius = before.adaptiveRadius;
    UpdateData(false);
    PlaceSliders();
    if (m_values.continuousUpdate)
        Show();
    UpdateHistogram();
}

void CFilterDlg::OnOK()
{
    Show();
    CDialogBase::OnOK();
}

} // namespace lumacut
