#include "app/dialogs/optimizer_progress_dialog.h"

#include <cmath>

#include <QDialogButtonBox>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/dialogs/optimizer_dialog.h"
#include "app/document.h"
#include "app/edit_steps.h"
#include "app/message_boxes.h"
#include "app/shell_text.h"
#include "presenters/optimize_summary.h"

namespace kiro::app {

namespace {

constexpr int kBarSteps = 1000;
constexpr int kClockMilliseconds = 200;
constexpr int kCancelId = 2;

// Candidate counts grouped in threes, whatever the user's locale.
QString count(qint64 n) {
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(n);
}

} // namespace

OptimizerProgressDialog::OptimizerProgressDialog(const LensSystem& lens,
                                                 const OptimizerSettings& settings, QWidget* parent)
    : QDialog(parent), run_(lens, settings) {
    setObjectName(QStringLiteral("OPTPROGRESS"));
    setWindowTitle(title());
    setModal(true);

    pass_ = new QLabel(tr("パス - / -"), this);
    pass_->setObjectName(QStringLiteral("pass"));
    candidates_ = new QLabel(tr("候補 0 / 0"), this);
    candidates_->setObjectName(QStringLiteral("candidates"));
    elapsed_ = new QLabel(this);
    elapsed_->setObjectName(QStringLiteral("elapsed"));
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("progress"));
    bar_->setRange(0, kBarSteps);
    bar_->setValue(0);
    bar_->setMinimumWidth(360);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    cancel_ = buttons->button(QDialogButtonBox::Cancel);
    cancel_->setText(tr("中止"));
    cancel_->setObjectName(QString::number(kCancelId));
    connect(buttons, &QDialogButtonBox::rejected, this, &OptimizerProgressDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pass_);
    layout->addWidget(bar_);
    layout->addWidget(candidates_);
    layout->addWidget(elapsed_);
    layout->addWidget(buttons);
    showElapsed();

    clock_ = new QTimer(this);
    clock_->setInterval(kClockMilliseconds);
    connect(clock_, &QTimer::timeout, this, &OptimizerProgressDialog::showElapsed);
    connect(&run_, &OptimizerRun::progressed, this, &OptimizerProgressDialog::showProgress);
    connect(&run_, &OptimizerRun::finished, this, [this] {
        clock_->stop();
        done(run_.result().status == OptimizeStatus::Done ? Accepted : Rejected);
    });
}

QString OptimizerProgressDialog::title() {
    return tr("レンズデータの最適化");
}

void OptimizerProgressDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        clock_->start();
        run_.start();
    }
}

void OptimizerProgressDialog::reject() {
    // The window stays until the thread has stopped; finished closes it.
    if (run_.running()) {
        run_.cancel();
        cancel_->setEnabled(false);
        pass_->setText(tr("中止しています…"));
    }
}

void OptimizerProgressDialog::showProgress(int pass, int passCount, qint64 done, qint64 total) {
    if (!cancel_->isEnabled()) {
        return;
    }
    pass_->setText(tr("パス %1 / %2").arg(pass).arg(passCount));
    candidates_->setText(tr("候補 %1 / %2").arg(count(done), count(total)));
    bar_->setValue(total > 0 ? static_cast<int>(done * kBarSteps / total) : kBarSteps);
    showElapsed();
}

void OptimizerProgressDialog::showElapsed() {
    elapsed_->setText(tr("経過時間 %1 秒").arg(formatNumber("%.1f", run_.elapsedSeconds())));
}

namespace {

// What the passes achieved: the merit (the sum of the measures chosen) before and after,
// each chosen measure before and after, then each pass's line as kiro-cli optimize prints
// it.
QString summaryText(const OptimizeResult& result, const OptimizerSettings& settings,
                    const MeritParts& before, const MeritParts& after) {
    const OptimizeTotals totals = optimizeTotals(result.passes);
    QString text =
        OptimizerProgressDialog::tr("評価値 %1 → %2\n")
            .arg(formatNumber("%.6g", totals.meritBefore), formatNumber("%.6g", totals.meritAfter));
    const auto measure = [&](bool chosen, const QString& name, double from, double to) {
        if (chosen) {
            text += QStringLiteral("  %1 %2 → %3\n")
                        .arg(name, formatNumber("%.6g", from), formatNumber("%.6g", to));
        }
    };
    measure(settings.minimiseSpherical, OptimizerProgressDialog::tr("球面収差"), before.spherical,
            after.spherical);
    measure(settings.minimiseChromatic, OptimizerProgressDialog::tr("色収差"), before.chromatic,
            after.chromatic);
    measure(settings.minimiseOsc, OptimizerProgressDialog::tr("OSC"), before.sineCondition,
            after.sineCondition);
    text += OptimizerProgressDialog::tr("パス %1回、候補 %2、%3 秒\n")
                .arg(totals.passes)
                .arg(totals.candidates)
                .arg(formatNumber("%.1f", totals.seconds));
    for (const PassReport& pass : result.passes) {
        text += u'\n' + QString::fromStdString(passReportLine(pass)).trimmed();
    }
    return text;
}

} // namespace

bool runOptimization(Document& document, QWidget* parent) {
    const OptimizerSettings settings = document.optimizerSettings();
    const int varied = buildParameterList(document.lens().surfaces, kindFlags(settings)).count;
    if (varied > kMaxVariedRows) {
        showError(parent, OptimizerProgressDialog::tr("曲率半径を変える面が%1面あります。\n"
                                                      "最適化できるのは%2面までです。")
                              .arg(varied)
                              .arg(kMaxVariedRows));
        return false;
    }
    if (!std::isfinite(settings.changeRangePercent)) {
        showError(parent,
                  OptimizerProgressDialog::tr("パラメータの変更範囲(%)が数値になっていません。"));
        return false;
    }
    // The merit at the start is both the refusal's test and the summary's "before".
    const MeritParts before = optimizerMeritParts(document.lens(), settings);
    if (!before.measurable()) {
        showBox(parent,
                {OptimizerProgressDialog::title(),
                 OptimizerProgressDialog::tr("この設計は球面収差を測れないため、"
                                             "最適化できません。データは変わっていません。"),
                 QMessageBox::Warning, QMessageBox::Ok});
        return false;
    }
    OptimizerProgressDialog progress(document.lens(), settings, parent);
    progress.exec();
    const OptimizerRun& run = progress.run();
    const OptimizeResult& result = run.result();
    const bool keep = result.status == OptimizeStatus::Done || !result.passes.empty();
    if (keep) {
        document.applyTable(run.lens().surfaces, ViewFit::Keep, stepName(EditStep::Optimize));
    }
    const auto summary = [&] {
        return summaryText(result, settings, before, optimizerMeritParts(run.lens(), settings));
    };
    if (result.status == OptimizeStatus::Cancelled) {
        const QString text =
            result.passes.empty()
                ? OptimizerProgressDialog::tr("最適化を中止しました。データは変わっていません。")
                : OptimizerProgressDialog::tr("最適化を中止しました。\n終わった%n回のパスの結果を"
                                              "残し、途中のパスの変更は捨てました。",
                                              nullptr, static_cast<int>(result.passes.size()));
        showBox(parent, {OptimizerProgressDialog::title(),
                         result.passes.empty() ? text : text + u'\n' + summary(),
                         QMessageBox::Information, QMessageBox::Ok});
    } else if (result.status == OptimizeStatus::Done) {
        showBox(parent, {OptimizerProgressDialog::title(), summary(), QMessageBox::Information,
                         QMessageBox::Ok});
    }
    return keep;
}

bool runOptimizer(Document& document, QWidget* parent) {
    OptimizerDialog dialog(document, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    return runOptimization(document, parent);
}

} // namespace kiro::app
