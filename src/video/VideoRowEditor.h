#pragma once

#include <QDialog>
#include <QStringList>

#include <array>

class QLineEdit;
class QPushButton;

namespace korvane {

// The row editor of the video list: the file name and the five cells in six fields.
class TfmEditVideoRec : public QDialog {
    Q_OBJECT
public:
    enum class Outcome { Save, Cancel };

    explicit TfmEditVideoRec(QWidget* parent = nullptr);

    // Caption first, then Size, Resolution, Duration, fps, Codec.
    void setFields(const QStringList& texts);
    QStringList fields() const;
    Outcome outcome() const { return m_outcome; }

    QLineEdit* field(int index) const { return m_fields.at(static_cast<size_t>(index)); }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* cancelButton() const { return m_cancel; }

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void save();

    std::array<QLineEdit*, 6> m_fields{};
    QPushButton* m_save = nullptr;
    QPushButton* m_cancel = nullptr;
    Outcome m_outcome = Outcome::Cancel;
};

} // namespace korvane
