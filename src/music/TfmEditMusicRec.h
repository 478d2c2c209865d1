#pragma once

#include "music/MusicList.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace korvane {

// "Редактирование": the music row editor. Shown with "Сохранить" disabled and the focus on
// "Отмена"; any change enables "Сохранить". Only "Сохранить" saves: "Отмена", Esc and the close
// box all leave the row as it was.
class TfmEditMusicRec : public QDialog {
    Q_OBJECT
public:
    explicit TfmEditMusicRec(QWidget* parent = nullptr);

    // Fills the fields from a row (its Folder text, Size, Bitrate, Style, Country).
    void setRow(const MusicRow& row);
    // The fields as they stand: Folder text as caption, then the four cells.
    MusicRow fields() const;
    // True when the last showing ended with "Сохранить".
    bool saved() const { return m_saved; }

    QLineEdit* folderField() const { return m_folder; }
    QLineEdit* sizeField() const { return m_size; }
    QLineEdit* bitrateField() const { return m_bitrate; }
    QLineEdit* styleField() const { return m_style; }
    QLineEdit* countryField() const { return m_country; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* cancelButton() const { return m_cancel; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* m_folder;
    QLineEdit* m_size;
    QLineEdit* m_bitrate;
    QLineEdit* m_style;
    QLineEdit* m_country;
    QPushButton* m_save;
    QPushButton* m_cancel;
    bool m_saved = false;
};

} // namespace korvane
