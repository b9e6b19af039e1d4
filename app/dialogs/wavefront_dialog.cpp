#include "app/dialogs/wavefront_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

#include "app/dialogs/analysis_view.h"
#include "app/shell_text.h"
#include "app/wavefront_run.h"

namespace kiro::app {

namespace {

constexpr int kFirstLineBoxId = 101;
constexpr int kFirstHeightEditId = 108;

QComboBox* numberChoices(QWidget* parent, const char* name, const auto& choices, int current) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    for (const int choice : choices) {
        box->addItem(QString::number(choice), choice);
    }
    box->setCurrentIndex(box->findData(current));
    return box;
}

} // namespace

WavefrontDialog::WavefrontDialog(const LensSystem& lens, QWidget* parent)
    : AnalysisDialog(lens, QSize(kWavefrontDialogWidth, kWavefrontDialogHeight),
                     QStringLiteral("wavefront.png"), parent),
      state_(openWavefrontDialog(lens.surfaces)), run_(new WavefrontRun(this)) {
    setObjectName(QStringLiteral("WAVEFRONT"));
    setWindowTitle(tr("波面・MTF"));
    connect(run_, &WavefrontRun::finished, this, &WavefrontDialog::showFigures);

    QGroupBox* lineGroup = makeLineGroup(kFirstLineBoxId, state_.lineShown);
    for (QCheckBox* box : lineGroup->findChildren<QCheckBox*>()) {
        connect(box, &QCheckBox::toggled, this, &WavefrontDialog::recompute);
    }

    auto* picture = new QComboBox(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->addItem(tr("波面"), static_cast<int>(WavefrontPicture::Wavefront));
    picture->addItem(QStringLiteral("PSF"), static_cast<int>(WavefrontPicture::Psf));
    picture->addItem(QStringLiteral("MTF"), static_cast<int>(WavefrontPicture::Mtf));
    picture->addItem(tr("スターテスト"), static_cast<int>(WavefrontPicture::StarTest));
    connect(picture, &QComboBox::currentIndexChanged, this, [this, picture](int) {
        state_.picture = static_cast<WavefrontPicture>(picture->currentData().toInt());
        repaintView();
    });
    auto* logarithmic = new QCheckBox(tr("PSFを対数で"), this);
    logarithmic->setObjectName(QStringLiteral("logarithmic"));
    connect(logarithmic, &QCheckBox::toggled, this, [this](bool on) {
        state_.scale = on ? PsfScale::Logarithmic : PsfScale::Linear;
        repaintView();
    });

    QComboBox* grid = numberChoices(this, "grid", kPupilGridChoices, state_.grid);
    QComboBox* side = numberChoices(this, "side", kFftSideChoices, state_.side);
    connect(grid, &QComboBox::currentIndexChanged, this, [this, grid, side](int) {
        chooseGrid(state_, grid->currentData().toInt());
        side->setCurrentIndex(side->findData(state_.side));
        recompute();
    });
    connect(side, &QComboBox::currentIndexChanged, this, [this, side](int) {
        if (!chooseSide(state_, side->currentData().toInt())) {
            side->setCurrentIndex(side->findData(state_.side));
            return;
        }
        recompute();
    });
    auto* waves = new QDoubleSpinBox(this);
    waves->setObjectName(QStringLiteral("waves"));
    // Numbers shown to the user keep the C locale's point.
    waves->setLocale(QLocale::c());
    waves->setRange(0.0, kMaxStarTestWaves);
    waves->setSingleStep(kStarTestWaveStep);
    waves->setDecimals(1);
    waves->setValue(state_.starWaves);
    connect(waves, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        state_.starWaves = clampStarWaves(value);
        recompute();
    });

    auto* controls = new QVBoxLayout;
    controls->addWidget(lineGroup);
    controls->addWidget(picture);
    controls->addWidget(logarithmic);
    auto* numbers = new QGridLayout;
    numbers->addWidget(new QLabel(tr("瞳の分割 N"), this), 0, 0);
    numbers->addWidget(grid, 0, 1);
    numbers->addWidget(new QLabel(tr("FFTの大きさ M"), this), 1, 0);
    numbers->addWidget(side, 1, 1);
    numbers->addWidget(new QLabel(tr("デフォーカス k(波長)"), this), 2, 0);
    numbers->addWidget(waves, 2, 1);
    controls->addLayout(numbers);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    controls->addWidget(status_);
    controls->addStretch(1);

    // One height edit under each panel, as in the spot dialog.
    QGridLayout* heights =
        makeHeightEdits(kFirstHeightEditId, state_.heights, [this] { recompute(); });

    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(view(), 0, 0);
    layout->addLayout(controls, 0, 1);
    layout->addLayout(heights, 1, 0);
    layout->addLayout(makeButtonRow(), 2, 0, 1, 2);
    recompute();
}

WavefrontDialog::~WavefrontDialog() = default;

const WavefrontFigures* WavefrontDialog::figures() const {
    return run_->figures();
}

void WavefrontDialog::recompute() {
    status_->setText(tr("計算中..."));
    run_->request(lens(), wavefrontRequest(state_), state_.starWaves);
}

void WavefrontDialog::showFigures() {
    // Still busy: a later request, made while these were computed, is on its way.
    if (!run_->busy()) {
        status_->clear();
        emit figuresShown();
    }
    repaintView();
}

void WavefrontDialog::paintCurrent(Canvas& canvas) const {
    const WavefrontFigures* shown = figures();
    if (shown == nullptr) {
        return;
    }
    const QByteArray verdict = tr("回折限界").toUtf8();
    const QByteArray bestFocus = tr("最良焦点").toUtf8();
    const QByteArray noWavefront = tr("波面なし").toUtf8();
    const WavefrontWords words{verdict.constData(), bestFocus.constData(), noWavefront.constData()};
    paintWavefrontFigures(canvas, *shown, state_.picture, state_.scale, kWavefrontDialogWidth,
                          kWavefrontDialogHeight, words);
}

} // namespace kiro::app
