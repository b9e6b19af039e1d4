#pragma once

#include <QObject>
#include <QString>

#include "design/designer_inputs.h"
#include "design/optimizer_settings.h"
#include "model/glass_catalog.h"
#include "model/lens_system.h"

namespace kiro::app {

// Whether a change of the design moves the side view's frame: commands that replace the
// surface table fit the view again, the others only repaint.
enum class ViewFit { Keep, Refit };

// The open document: the design and the little state the shell keeps beside it for the
// program's run. Every command changes the design through here; dialogs read from it and
// write to it only when they end with OK.
class Document : public QObject {
    Q_OBJECT

  public:
    explicit Document(QObject* parent = nullptr);

    const LensSystem& lens() const { return lens_; }
    const GlassCatalog& catalog() const { return catalog_; }

    // Replaces the whole design (table, description and settings) and marks it modified.
    void setLens(const LensSystem& lens, ViewFit fit);
    void setTable(const SurfaceTable& table, ViewFit fit);
    void setSettings(const Settings& settings);
    // The description as the file stores it: bytes, cut to fit.
    void setDescription(const char* bytes);

    void setCatalog(const GlassCatalog& catalog) { catalog_ = catalog; }

    // New: the empty design; the settings stay, and there is nothing left to save.
    void clear();
    // Reads a design file in place of the design (the settings stay, the source goes back
    // to infinity) and fits the view. False, with nothing changed, when it cannot be
    // read; otherwise the path becomes the proposed save name and the folder the design's.
    bool open(const QString& path);
    // Writes the design to path (whole or not at all). False when it cannot be written.
    bool save(const QString& path);

    // The file name offered by the next Save ("*" at start).
    const QString& proposedSaveName() const { return proposedSaveName_; }
    void setProposedSaveName(const QString& name) { proposedSaveName_ = name; }

    // The folder the file dialogs start in: the design's own, once it has one.
    const QString& designFolder() const { return designFolder_; }
    void setDesignFolder(const QString& folder) { designFolder_ = folder; }

    // The line a new automatic design is refocused at (1 = C ... 6 = h).
    int referenceLine() const { return referenceLine_; }
    void setReferenceLine(int line) { referenceLine_ = line; }

    // The designers' and the optimizer's inputs, remembered for the program's run.
    const OptimizerSettings& optimizerSettings() const { return optimizerSettings_; }
    void setOptimizerSettings(const OptimizerSettings& s) { optimizerSettings_ = s; }
    const ReflectorInputs& reflectorInputs() const { return reflectorInputs_; }
    void setReflectorInputs(const ReflectorInputs& inputs) { reflectorInputs_ = inputs; }
    const RefractorInputs& refractorInputs() const { return refractorInputs_; }
    void setRefractorInputs(const RefractorInputs& inputs) { refractorInputs_ = inputs; }

    // Set by every change of the design, cleared by Open and by a successful Save.
    bool isModified() const { return modified_; }
    void setModified(bool modified);

  signals:
    // The design changed; the window fits its view first when fit is Refit, then repaints.
    void lensChanged(kiro::app::ViewFit fit);
    // The description changed (it is the window's title).
    void descriptionChanged(const QString& description);
    void modifiedChanged(bool modified);

  private:
    // modifies: false for the changes that leave nothing to save (New, Open).
    void changed(ViewFit fit, bool descriptionMayChange, bool modifies = true);

    LensSystem lens_{};
    GlassCatalog catalog_{};
    QString proposedSaveName_ = QStringLiteral("*");
    QString designFolder_;
    int referenceLine_ = WavelengthLine::d;
    OptimizerSettings optimizerSettings_{};
    ReflectorInputs reflectorInputs_{};
    RefractorInputs refractorInputs_{};
    bool modified_ = false;
};

} // namespace kiro::app
