// The dialogs for the styles of new annotations and the viewer's settings. Every dialog is
// shown through the prompt service.
#include "widgets/pageview/pageviewdialogs.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/promptservice.h"
#include "platform/settingsstore.h"
#include "widgets/pageview/pageviewannotations.h"

namespace ktdv {

namespace {

struct ColourSetting {
    QString label;
    const settings::Setting& setting;
};

struct SizeSetting {
    QString label;
    const settings::Setting& setting;
    qint32 minimum;
    qint32 maximum;
};

const char* const kBgrProperty = "bgr";

QColor fromBgr(qint32 bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
qint32 toBgr(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

// A damaged value shows the default, and is replaced on OK.
qint32 readSetting(const SettingsStore* store, const settings::Setting& setting) {
    return store ? store->readInt32(setting) : setting.defaultValue;
}

void paintSwatch(QPushButton* button, qint32 bgr) {
    button->setProperty(kBgrProperty, bgr);
    button->setText(fromBgr(bgr).name());
    QPalette pal = button->palette();
    pal.setColor(QPalette::Button, fromBgr(bgr));
    button->setPalette(pal);
}

// Colour buttons and spin boxes for colour and size settings, added to a form; store()
// writes them back as decimal text. Picking a colour opens a colour chooser, also through
// the prompt service.
class StyleRows {
public:
    StyleRows(QDialog& dialog, PromptService& prompts, const SettingsStore* store)
        : m_dialog(dialog), m_prompts(prompts), m_store(store) {}

    void addColour(QFormLayout& form, const ColourSetting& row) {
        auto* button = new QPushButton(form.parentWidget());
        button->setObjectName(QLatin1String(row.setting.key));
        paintSwatch(button, readSetting(m_store, row.setting) & 0xFFFFFF);
        QDialog* dialog = &m_dialog;
        PromptService* prompts = &m_prompts;
        QObject::connect(button, &QPushButton::clicked, dialog, [dialog, button, prompts] {
            QColorDialog picker(fromBgr(button->property(kBgrProperty).toInt()), dialog);
            picker.setObjectName(QStringLiteral("colourPicker"));
            picker.setOption(QColorDialog::DontUseNativeDialog);
            if (prompts->execDialog(&picker) == QDialog::Accepted)
                paintSwatch(button, toBgr(picker.selectedColor()));
        });
        form.addRow(row.label, button);
        m_colours.append({&row.setting, button});
    }
    void addSize(QFormLayout& form, const SizeSetting& row) {
        auto* box = new QSpinBox(form.parentWidget());
        box->setObjectName(QLatin1String(row.setting.key));
        box->setRange(row.minimum, row.maximum);
        box->setValue(qBound(row.minimum, readSetting(m_store, row.setting), row.maximum));
        form.addRow(row.label, box);
        m_sizes.append({&row.setting, box});
    }
    void store(SettingsStore& store) const {
        for (const auto& [setting, button] : m_colours)
            store.writeInt(*setting, button->property(kBgrProperty).toInt());
        for (const auto& [setting, box] : m_sizes)
            store.writeInt(*setting, box->value());
    }

private:
    QDialog& m_dialog;
    PromptService& m_prompts;
    const SettingsStore* m_store;
    QList<QPair<const settings::Setting*, QPushButton*>> m_colours;
    QList<QPair<const settings::Setting*, QSpinBox*>> m_sizes;
};

void addOkCancel(QDialog& dialog, QLayout& layout) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout.addWidget(box);
}

// A dialog with one colour button per colour setting and one spin box per size setting;
// OK stores them.
void editStyle(QWidget* parent, PromptService* prompts, SettingsStore* store, const QString& title,
               const QList<ColourSetting>& rows, const QList<SizeSetting>& sizes = {}) {
    if (!prompts)
        return;
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("colourProperties"));
    dialog.setWindowTitle(title);
    auto* form = new QFormLayout(&dialog);
    StyleRows styles(dialog, *prompts, store);
    for (const ColourSetting& row : rows)
        styles.addColour(*form, row);
    for (const SizeSetting& row : sizes)
        styles.addSize(*form, row);
    addOkCancel(dialog, *form);
    if (prompts->execDialog(&dialog) == QDialog::Accepted && store)
        styles.store(*store);
}

// A drop-down of the numbered choices 1, 2, ...; a stored number outside them is kept as a
// choice of its own, so OK does not change it unasked.
QComboBox* choiceBox(QWidget* parent, const settings::Setting& setting, const QStringList& labels,
                     const SettingsStore* store) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(setting.key));
    for (int i = 0; i < labels.size(); ++i)
        box->addItem(labels.at(i), i + 1);
    const int current = readSetting(store, setting);
    if (current < 1 || current > labels.size())
        box->addItem(QObject::tr("Other (%1)").arg(current), current);
    box->setCurrentIndex(box->findData(current));
    return box;
}

QCheckBox* checkBox(QWidget* parent, const settings::Setting& setting, const QString& text,
                    bool checked) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(setting.key));
    box->setChecked(checked);
    return box;
}

}  // namespace

bool editViewerSettings(QWidget* parent, PromptService& prompts, SettingsStore* store,
                        bool& smooth) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("viewSettings"));
    dialog.setWindowTitle(QObject::tr("Viewer Settings"));
    auto* layout = new QVBoxLayout(&dialog);

    auto* viewing = new QGroupBox(QObject::tr("Pages"), &dialog);
    auto* pages = new QFormLayout(viewing);
    QComboBox* zoom =
        choiceBox(viewing, settings::ZoomStep,
                  {QStringLiteral("25 %"), QStringLiteral("40 %"), QStringLiteral("55 %"),
                   QStringLiteral("70 %"), QStringLiteral("85 %"), QStringLiteral("100 %"),
                   QStringLiteral("125 %"), QStringLiteral("150 %"), QStringLiteral("175 %"),
                   QStringLiteral("200 %"), QStringLiteral("225 %"), QObject::tr("Fit Width"),
                   QObject::tr("Fit Height")},
                  store);
    pages->addRow(QObject::tr("Default zoom:"), zoom);
    QCheckBox* smoothBox = checkBox(viewing, settings::SmoothScaling,
                                    QObject::tr("Smooth scaling of grey and colour pages"), smooth);
    QCheckBox* thumbs = checkBox(viewing, settings::Thumbs, QObject::tr("Show page thumbnails"),
                                 store ? store->readBool(settings::Thumbs) : false);
    QCheckBox* saveTurned = checkBox(viewing, settings::SaveTiffEdits,
                                     QObject::tr("Save turned and flipped pages into the file"),
                                     store && store->readDouble(settings::SaveTiffEdits) == 1);
    QCheckBox* recognizePdf = checkBox(viewing, settings::RecognizePdfText,
                                       QObject::tr("Recognise PDF pages that already carry text"),
                                       store && store->readBool(settings::RecognizePdfText));
    for (QCheckBox* box : {smoothBox, thumbs, saveTurned, recognizePdf})
        pages->addRow(box);
    layout->addWidget(viewing);

    auto* annotations = new QGroupBox(QObject::tr("New annotations"), &dialog);
    auto* styles = new QFormLayout(annotations);
    StyleRows rows(dialog, prompts, store);
    QComboBox* rectangle =
        choiceBox(annotations, settings::RectangleKind,
                  {QObject::tr("Filled Rectangle"), QObject::tr("Hollow Rectangle")}, store);
    styles->addRow(QObject::tr("Rectangles:"), rectangle);
    rows.addColour(*styles, {QObject::tr("Rectangle fill colour:"), settings::RectFillColor});
    rows.addColour(*styles, {QObject::tr("Rectangle border colour:"), settings::RectBorderColor});
    rows.addColour(*styles, {QObject::tr("Highlight colour:"), settings::HighlightColor});
    QComboBox* stamp = choiceBox(annotations, settings::StampKind,
                                 {QObject::tr("Approved"), QObject::tr("Draft"),
                                  QObject::tr("Received"), QObject::tr("Rejected")},
                                 store);
    styles->addRow(QObject::tr("Stamp:"), stamp);
    rows.addColour(*styles, {QObject::tr("Stamp colour:"), settings::StampColor});
    rows.addSize(*styles,
                 {QObject::tr("Stamp font size (points):"), settings::StampFontSize, 4, 400});
    layout->addWidget(annotations);
    addOkCancel(dialog, *layout);

    if (prompts.execDialog(&dialog) != QDialog::Accepted)
        return false;
    smooth = smoothBox->isChecked();
    if (store) {
        store->writeInt(settings::ZoomStep, zoom->currentData().toInt());
        store->writeBool(settings::SmoothScaling, smooth);
        store->writeBool(settings::Thumbs, thumbs->isChecked());
        store->writeBool(settings::RecognizePdfText, recognizePdf->isChecked());
        store->writeInt(settings::SaveTiffEdits, saveTurned->isChecked() ? 1 : 0);
        store->writeInt(settings::RectangleKind, rectangle->currentData().toInt());
        store->writeInt(settings::StampKind, stamp->currentData().toInt());
        rows.store(*store);
    }
    return true;
}

void PageViewAnnotations::stampProperties() {
    editStyle(&m_area, m_prompts.get(), m_settings.get(), QObject::tr("Stamp Properties"),
              {{QObject::tr("Stamp colour"), settings::StampColor}},
              {{QObject::tr("Font size (points)"), settings::StampFontSize, 4, 400}});
}

void PageViewAnnotations::rectangleProperties() {
    editStyle(&m_area, m_prompts.get(), m_settings.get(), QObject::tr("Rectangle Properties"),
              {{QObject::tr("Fill colour"), settings::RectFillColor},
               {QObject::tr("Border colour"), settings::RectBorderColor}});
}

void PageViewAnnotations::highlightProperties() {
    editStyle(&m_area, m_prompts.get(), m_settings.get(), QObject::tr("Highlight Properties"),
              {{QObject::tr("Highlight colour"), settings::HighlightColor}});
}

}  // namespace ktdv
