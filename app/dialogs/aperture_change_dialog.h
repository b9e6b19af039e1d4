#pragma once

#include <QDialog>

class QLineEdit;
class QRadioButton;

namespace kiro::app {

class Document;

// "RESIZE": a new aperture for the design, either by scaling the whole design or by
// changing only the clear apertures (and so the F-number).
class ApertureChangeDialog : public QDialog {
    Q_OBJECT

  public:
    // semiAperture: the design's current one (currentSemiAperture), above 0.
    ApertureChangeDialog(Document& document, double semiAperture, QWidget* parent = nullptr);

    // OK: rescales the design from the old to the new aperture and ends with 1. An
    // aperture that cannot be used (not above 0, not a finite number, or one that would
    // leave a length beyond the doubles) ends it with 0 and the design as it was.
    void accept() override;

  private:
    Document& document_;
    QRadioButton* scaleDesign_ = nullptr;
    QLineEdit* oldAperture_ = nullptr;
    QLineEdit* newAperture_ = nullptr;
};

} // namespace kiro::app
