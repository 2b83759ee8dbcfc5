#include "app/ui/DialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace melvarin {

DialogButtons::DialogButtons(QDialog* dialog, const char* okName, const QString& cancelText)
    : ok(new QPushButton("Ok", dialog)), cancel(new QPushButton(cancelText, dialog)), row(new QHBoxLayout) {
    ok->setObjectName(okName);
    cancel->setObjectName("SpeedButton1");
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
}

}  // namespace melvarin
