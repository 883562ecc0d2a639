#pragma once

#include <QWidget>

class TachoraApp;

// FormMain: the one window. A view of the core's display and settings state; closing it runs
// the core's shutdown.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kDesignedClientWidth = 876;
    static constexpr int kDesignedClientHeight = 440;

    explicit MainWindow(TachoraApp& app, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showError(const QString& message);

    TachoraApp& m_app;
    bool m_closed = false;
};
