#include "ui/MainWindow.h"

#include "app/TachoraApp.h"
#include "common/ErrorReporter.h"

#include <QCloseEvent>
#include <QMessageBox>

MainWindow::MainWindow(TachoraApp& app, QWidget* parent)
    : QWidget(parent)
    , m_app(app)
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Kestorin"));
    resize(kDesignedClientWidth, kDesignedClientHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    connect(&m_app.errors(), &ErrorReporter::messageRaised, this, &MainWindow::showError);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_closed) {
        m_closed = true;
        m_app.formClose();
    }
    event->accept();
}

void MainWindow::showError(const QString& message)
{
    // Non-modal: the event loop, and with it the link, keeps running while the box is up.
    auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Tachora"), message,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    connect(box, &QMessageBox::finished, this,
            [this, message] { m_app.errors().acknowledge(message); });
    box->show();
}
