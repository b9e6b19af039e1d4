#include "app/remembered_state.h"

#include <memory>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include "app/application_filter.h"
#include "app/document.h"
#include "presenters/remembered_inputs.h"

namespace kiro::app {
namespace {

constexpr const char* kStateFileName = "kiro.ini";
constexpr const char* kGeometryGroup = "geometry";
constexpr const char* kLastFolderKey = "files/lastFolder";

struct Store {
    std::unique_ptr<QTemporaryDir> scratch; // the store's folder until a file is named
    std::unique_ptr<QSettings> settings;
};

Store& store() {
    static Store instance;
    return instance;
}

QString geometryKey(const QWidget* window) {
    return QString::fromLatin1(kGeometryGroup) + u'/' + window->objectName();
}

RememberedValues readValues(const char* group) {
    QSettings& state = rememberedState();
    RememberedValues values;
    state.beginGroup(QString::fromLatin1(group));
    for (const QString& key : state.childKeys()) {
        bool ok = false;
        const double value = state.value(key).toDouble(&ok);
        if (ok) {
            values[key.toStdString()] = value;
        }
    }
    state.endGroup();
    return values;
}

void writeValues(const char* group, const RememberedValues& values) {
    QSettings& state = rememberedState();
    state.beginGroup(QString::fromLatin1(group));
    for (const auto& [name, value] : values) {
        state.setValue(QString::fromStdString(name), value);
    }
    state.endGroup();
}

// Calls recall as each of our named dialogs is first shown and remember whenever it is
// hidden; message boxes and file dialogs are Qt's and left alone.
class DialogKeeper : public QObject {
  public:
    DialogKeeper(QObject* parent, const char* recalledMark)
        : QObject(parent), recalledMark_(recalledMark) {}

  protected:
    virtual void recall(QDialog* dialog) = 0;
    virtual void remember(const QDialog* dialog) = 0;

    bool eventFilter(QObject* watched, QEvent* event) override {
        QDialog* dialog = ourDialog(watched);
        if (dialog != nullptr && !dialog->objectName().isEmpty()) {
            if (event->type() == QEvent::Show && !dialog->property(recalledMark_).toBool()) {
                dialog->setProperty(recalledMark_, true);
                recall(dialog);
            } else if (event->type() == QEvent::Hide) {
                remember(dialog);
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    const char* recalledMark_;
};

// Each dialog's size and place.
class DialogGeometryKeeper final : public DialogKeeper {
  public:
    explicit DialogGeometryKeeper(QObject* parent) : DialogKeeper(parent, "kiroGeometryRestored") {}

  protected:
    void recall(QDialog* dialog) override { recallGeometry(dialog); }
    void remember(const QDialog* dialog) override { rememberGeometry(dialog); }
};

// The marked controls of analysis dialogs: a box's tick as 0 or 1, a bar's position.
class AnalysisChoiceKeeper final : public DialogKeeper {
  public:
    explicit AnalysisChoiceKeeper(QObject* parent) : DialogKeeper(parent, "kiroChoicesRecalled") {}

  private:
    static QString group(const QDialog* dialog) {
        return QStringLiteral("analysis/") + dialog->objectName();
    }

    void recall(QDialog* dialog) override {
        const QByteArray name = group(dialog).toLatin1();
        const RememberedValues values = readValues(name.constData());
        for (QAbstractButton* box : dialog->findChildren<QAbstractButton*>()) {
            if (box->property(kKeptChoice).toBool()) {
                if (const auto on = recalledWhole(values, box->objectName().toStdString(), 0, 1)) {
                    box->setChecked(*on == 1);
                }
            }
        }
        for (QAbstractSlider* bar : dialog->findChildren<QAbstractSlider*>()) {
            if (bar->property(kKeptChoice).toBool()) {
                if (const auto pos = recalledWhole(values, bar->objectName().toStdString(),
                                                   bar->minimum(), bar->maximum())) {
                    bar->setValue(*pos);
                }
            }
        }
    }

    void remember(const QDialog* dialog) override {
        RememberedValues values;
        for (const QAbstractButton* box : dialog->findChildren<QAbstractButton*>()) {
            if (box->property(kKeptChoice).toBool()) {
                values[box->objectName().toStdString()] = box->isChecked() ? 1 : 0;
            }
        }
        for (const QAbstractSlider* bar : dialog->findChildren<QAbstractSlider*>()) {
            if (bar->property(kKeptChoice).toBool()) {
                values[bar->objectName().toStdString()] = bar->value();
            }
        }
        if (!values.empty()) {
            const QByteArray name = group(dialog).toLatin1();
            writeValues(name.constData(), values);
        }
    }
};

} // namespace

QSettings& rememberedState() {
    Store& s = store();
    if (!s.settings) {
        s.scratch = std::make_unique<QTemporaryDir>();
        s.settings = std::make_unique<QSettings>(
            s.scratch->filePath(QString::fromLatin1(kStateFileName)), QSettings::IniFormat);
    }
    return *s.settings;
}

void useRememberedStateFile(const QString& path) {
    Store& s = store();
    if (s.settings) {
        s.settings->sync();
    }
    s.settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

QString userStateFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(folder).filePath(QStringLiteral("kiro/") + QString::fromLatin1(kStateFileName));
}

void forgetRememberedState() {
    rememberedState().clear();
    rememberedState().sync();
}

void recallDocumentState(Document& document) {
    OptimizerSettings optimizer = document.optimizerSettings();
    recallValues(readValues("optimizer"), optimizer);
    document.setOptimizerSettings(optimizer);
    ReflectorInputs reflector = document.reflectorInputs();
    recallValues(readValues("reflectorDesigner"), reflector);
    document.setReflectorInputs(reflector);
    RefractorInputs refractor = document.refractorInputs();
    recallValues(readValues("refractorDesigner"), refractor);
    document.setRefractorInputs(refractor);
    Settings settings = document.lens().settings;
    recallValues(readValues("settings"), settings);
    document.setStartSettings(settings);
    const QString folder = rememberedState().value(QString::fromLatin1(kLastFolderKey)).toString();
    if (!folder.isEmpty() && QDir(folder).exists()) {
        document.setDesignFolder(folder);
    }
}

void rememberDocumentState(const Document& document) {
    writeValues("optimizer", rememberedValues(document.optimizerSettings()));
    writeValues("reflectorDesigner", rememberedValues(document.reflectorInputs()));
    writeValues("refractorDesigner", rememberedValues(document.refractorInputs()));
    writeValues("settings", rememberedValues(document.lens().settings));
    if (!document.designFolder().isEmpty()) {
        rememberedState().setValue(QString::fromLatin1(kLastFolderKey), document.designFolder());
    }
    rememberedState().sync();
}

void recallGeometry(QWidget* window) {
    const QByteArray geometry = rememberedState().value(geometryKey(window)).toByteArray();
    if (!geometry.isEmpty()) {
        window->restoreGeometry(geometry);
    }
}

void rememberGeometry(const QWidget* window) {
    rememberedState().setValue(geometryKey(window), window->saveGeometry());
}

void keepDialogGeometries() {
    installApplicationFilterOnce<DialogGeometryKeeper>();
}

void keepAnalysisChoices() {
    installApplicationFilterOnce<AnalysisChoiceKeeper>();
}

} // namespace kiro::app
