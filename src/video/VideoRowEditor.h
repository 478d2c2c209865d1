#pragma once

#include "widgets/RowEditor.h"

namespace korvane {

// "Редактировать": the video row editor, with the file name and the five cells. A fixed dialog,
// centred on the screen.
class VideoRowEditor : public RowEditor {
    Q_OBJECT
public:
    explicit VideoRowEditor(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace korvane
