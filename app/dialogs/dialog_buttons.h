#pragma once

class QDialog;
class QDialogButtonBox;

namespace kiro::app {

// OK (object name "1") and Cancel ("2") wired to the dialog's accept and reject.
QDialogButtonBox* makeOkCancelButtons(QDialog* dialog);

} // namespace kiro::app
