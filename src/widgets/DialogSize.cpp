#include "widgets/DialogSize.h"

#include <QLayout>
#include <QWidget>

namespace korvane {

void fitDialogToContents(QWidget* dialog, QSize designSize) {
    if (QLayout* layout = dialog->layout())
        layout->activate();
    dialog->setFixedSize(dialog->sizeHint().expandedTo(designSize));
}

} // namespace korvane
