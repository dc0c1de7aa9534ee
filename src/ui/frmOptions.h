#pragma once

#include <QDialog>
#include <QHash>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace vellum::ui {

class EditorContext;

// The options dialog: editing, view and performance settings, the background image, the text
// encoding and the game data folder. OK copies them into the context (the caller saves);
// Cancel and Escape leave the context as it was.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(EditorContext& context, QWidget* parent = nullptr);

    QCheckBox* Box(const QString& key) const { return boxes_.value(key); }
    QLineEdit* ImagePath() const { return image_; }
    QLineEdit* DataFolder() const { return dataFolder_; }
    QComboBox* Encoding() const { return encoding_; }

    void accept() override;
    void reject() override;

signals:
    // Hot tracking or record-type captions changed; they show at once, before OK.
    void viewChanged();

private:
    QCheckBox* AddBox(const QString& key, const QString& caption, bool value);
    void SafeEditingToggled(bool on);

    EditorContext& context_;
    QHash<QString, QCheckBox*> boxes_;
    QLineEdit* image_;
    QLineEdit* dataFolder_;
    QComboBox* encoding_;
    bool originalHotTracking_;
    bool originalViewTypes_;
};

} // namespace vellum::ui
