#pragma once
// TAboutFrm, the about box: the program's picture stretched over the whole form; a click
// anywhere on it closes the box.

#include "core/app/FormFactory.h"
#include "core/base/AppContext.h"

#include <QByteArray>
#include <QDialog>

class QLabel;

namespace qm {

// The about picture as a JPEG stream, compiled into the program.
QByteArray AboutJpeg();

class TAboutFrm : public QDialog, public IForm {
    Q_OBJECT
public:
    explicit TAboutFrm(AppContext& ctx, QWidget* parent = nullptr);
    void ShowModal() override { exec(); }
    void ShowModeless(std::unique_ptr<IForm> self) override;
    void Image1Click() { accept(); }

    QLabel* Image1 = nullptr;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
};

}  // namespace qm
