#include "app/dialogs/aperture_change_dialog.h"

#include <optional>

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/dialog_buttons.h"
#include "app/dialogs/number_fields.h"
#include "app/document.h"
#include "app/edit_steps.h"
#include "app/message_boxes.h"
#include "app/shell_text.h"
#include "presenters/aperture_change.h"

namespace kiro::app {
namespace {

constexpr int kExplanationIndent = 24;
constexpr int kExplanationWidth = 380;

QLabel* explanation(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setMinimumWidth(kExplanationWidth);
    label->setContentsMargins(kExplanationIndent, 0, 0, 0);
    return label;
}

} // namespace

ApertureChangeDialog::ApertureChangeDialog(Document& document, double semiAperture, QWidget* parent)
    : QDialog(parent), document_(document), scaleDesign_(new QRadioButton(tr("口径の変更"), this)),
      oldAperture_(new QLineEdit(this)), newAperture_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("RESIZE"));
    setWindowTitle(tr("口径／F値の変更"));
    auto* apertureOnly = new QRadioButton(tr("F値の変更"), this);
    scaleDesign_->setObjectName(QStringLiteral("101"));
    apertureOnly->setObjectName(QStringLiteral("102"));
    oldAperture_->setObjectName(QStringLiteral("103"));
    newAperture_->setObjectName(QStringLiteral("104"));
    scaleDesign_->setChecked(true);
    oldAperture_->setText(formatNumber("%lf", semiAperture + semiAperture));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scaleDesign_);
    layout->addWidget(explanation(tr("曲率半径や距離等全ての値が、口径の値に比例して変更されます。"
                                     "各種収差も比例して変化します。"),
                                  this));
    layout->addWidget(apertureOnly);
    layout->addWidget(explanation(tr("口径のみを変更します。Fを明るくするとレン"
                                     "ズの厚みが不足する場合がありますので注意下"
                                     "さい。"),
                                  this));
    auto* apertures = new QGridLayout;
    auto* oldLabel = new QLabel(tr("元の口径"), this);
    auto* newLabel = new QLabel(tr("→　変更後の口径"), this);
    oldLabel->setBuddy(oldAperture_);
    newLabel->setBuddy(newAperture_);
    apertures->addWidget(oldLabel, 0, 0);
    apertures->addWidget(oldAperture_, 0, 1);
    apertures->addWidget(newLabel, 0, 2);
    apertures->addWidget(newAperture_, 0, 3);
    layout->addLayout(apertures);
    layout->addWidget(makeOkCancelButtons(this));
}

void ApertureChangeDialog::accept() {
    const ApertureChangeMode mode = scaleDesign_->isChecked() ? ApertureChangeMode::ScaleDesign
                                                              : ApertureChangeMode::ApertureOnly;
    const std::optional<double> oldAperture =
        readNumberField(this, oldAperture_, tr("元の口径"), kPositiveNumber);
    if (!oldAperture) {
        return;
    }
    const std::optional<double> newAperture =
        readNumberField(this, newAperture_, tr("変更後の口径"), kPositiveNumber);
    if (!newAperture) {
        return;
    }
    SurfaceTable table = document_.lens().surfaces;
    if (!changeAperture(table, mode, *oldAperture / 2.0, *newAperture / 2.0)) {
        // Both numbers are apertures, but the ratio takes some length of the design out of
        // the numbers a design can hold: say so and let the user choose again.
        showError(this, tr("この口径の比では寸法が扱える数の範囲を超えるため、変更できません。"));
        newAperture_->setFocus();
        newAperture_->selectAll();
        return;
    }
    document_.applyTable(table, ViewFit::Refit, stepName(EditStep::ApertureChange));
    QDialog::accept();
}

} // namespace kiro::app
