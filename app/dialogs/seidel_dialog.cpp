#include "app/dialogs/seidel_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/dialogs/analysis_dialog.h"
#include "app/shell_text.h"
#include "presenters/seidel_table.h"

namespace kiro::app {

namespace {

constexpr const char* kShownFormat = "%.6g";
constexpr int kTableWidth = 640;

QTableWidgetItem* numberItem(double value) {
    auto* item = new QTableWidgetItem(formatNumber(kShownFormat, value));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

SeidelDialog::SeidelDialog(const LensSystem& lens, QWidget* parent)
    : QDialog(parent), sums_(seidelSums(lens.surfaces, lens.settings)) {
    setObjectName(QStringLiteral("SEIDEL"));
    setWindowTitle(tr("ザイデル収差"));

    constexpr int kColumns = static_cast<int>(std::size(kSeidelColumns));
    table_ = new QTableWidget(sums_.valid ? sums_.rows + 1 : 0, kColumns, this);
    table_->setObjectName(QStringLiteral("table"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList columns;
    for (const char* column : kSeidelColumns) {
        columns << QString::fromLatin1(column);
    }
    table_->setHorizontalHeaderLabels(columns);
    QStringList rows;
    if (sums_.valid) {
        for (int i = 0; i <= sums_.rows; ++i) {
            const SeidelTerms& terms =
                i < sums_.rows ? sums_.perRow[static_cast<size_t>(i)] : sums_.total;
            rows << (i < sums_.rows ? QString::number(i) : tr("合計"));
            const auto values = seidelColumns(terms);
            for (int c = 0; c < kColumns; ++c) {
                table_->setItem(i, c, numberItem(values[static_cast<size_t>(c)]));
            }
        }
    }
    table_->setVerticalHeaderLabels(rows);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->setMinimumWidth(kTableWidth);

    QString waves;
    if (sums_.valid) {
        const auto values = wavefrontValues(sums_.waves);
        for (size_t k = 0; k < values.size(); ++k) {
            waves +=
                QStringLiteral("%1 = %2   ")
                    .arg(QString::fromLatin1(kWavefrontNames[k]), formatNumber("%.4g", values[k]));
        }
    } else {
        waves = tr("焦点距離か口径が0のため計算できません");
    }
    auto* wavesLabel = new QLabel(waves, this);
    wavesLabel->setObjectName(QStringLiteral("waves"));
    wavesLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* copy = new QPushButton(tr("テキストでコピー"), this);
    copy->setObjectName(QStringLiteral("copy"));
    copy->setAutoDefault(false);
    copy->setEnabled(sums_.valid);
    connect(copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(copiedText()); });
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(controlName(1));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addStretch(1);
    buttons->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(new QLabel(tr("波面収差係数 (d線の波長単位)"), this));
    layout->addWidget(wavesLabel);
    layout->addLayout(buttons);
}

QString SeidelDialog::copiedText() const {
    return QString::fromStdString(seidelTableText(sums_));
}

} // namespace kiro::app
