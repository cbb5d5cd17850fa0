#include "shell/AboutForm.h"

#include "platform/Jpeg.h"

#include <QEvent>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace qm {

TAboutFrm::TAboutFrm(AppContext&, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("关于本系统"));
    // A dialog frame with the system menu only: no minimise, maximise or help button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(399, 251);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Image1 = new QLabel(this);
    Image1->setScaledContents(true);
    // Decoded through libjpeg; a picture that cannot be decoded leaves the box plain.
    const QImage picture = DecodeJpeg(AboutJpeg());
    if (!picture.isNull()) Image1->setPixmap(QPixmap::fromImage(picture));
    layout->addWidget(Image1);
    Image1->installEventFilter(this);
}

void TAboutFrm::ShowModeless(std::unique_ptr<IForm> self) {
    self.release();  // freed as it closes
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

bool TAboutFrm::eventFilter(QObject* o, QEvent* e) {
    if (o == Image1 && e->type() == QEvent::MouseButtonRelease) {
        Image1Click();
        return true;
    }
    return QDialog::eventFilter(o, e);
}

}  // namespace qm
