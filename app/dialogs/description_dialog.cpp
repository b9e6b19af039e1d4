#include "app/dialogs/description_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/dialogs/dialog_buttons.h"
#include "app/document.h"
#include "app/edit_steps.h"
#include "app/message_boxes.h"
#include "app/shell_text.h"

namespace kiro::app {
namespace {

constexpr int kDescriptionEditBytes = 255;
constexpr int kEditMinimumWidth = 420;

} // namespace

DescriptionDialog::DescriptionDialog(Document& document, QWidget* parent)
    : QDialog(parent), document_(document), text_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("ABST"));
    setWindowTitle(tr("設計データの説明"));
    text_->setObjectName(QStringLiteral("101"));
    text_->setMinimumWidth(kEditMinimumWidth);
    text_->setText(fromDesignBytes(document_.lens().description));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("設計データの説明"), this));
    layout->addWidget(text_);
    layout->addWidget(makeOkCancelButtons(this));
}

void DescriptionDialog::accept() {
    QByteArray bytes;
    if (!toDesignBytes(text_->text(), kDescriptionEditBytes, bytes)) {
        showError(this, tr("説明に保存できない文字が含まれています。\n"
                           "シフトJIS (CP932) で表せる文字だけが使えます。"));
        return;
    }
    document_.applyDescription(bytes.constData(), stepName(EditStep::Description));
    QDialog::accept();
}

} // namespace kiro::app
