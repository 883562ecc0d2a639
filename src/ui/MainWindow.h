#pragma once

#include <QWidget>

class DisplayBinder;
class LayoutScaler;
class QStackedWidget;
class TachoraApp;

// FormMain: the one window. PanelMain holds the navigation bar with its lamps and the page
// control of five pages. A view of the core's display and settings state; closing it runs the
// core's shutdown.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kDesignedClientWidth = 876;
    static constexpr int kDesignedClientHeight = 440;
    static constexpr int kPanelWidth = 869;
    static constexpr int kPanelHeight = 400;

    explicit MainWindow(TachoraApp& app, QWidget* parent = nullptr);
    ~MainWindow() override;

    LayoutScaler& scaler() { return *m_scaler; }
    QWidget* panelMain() const { return m_panelMain; }
    QStackedWidget* pages() const { return m_pages; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildNavigationBar(QWidget* bar);
    void realign();
    void showError(const QString& message);

    TachoraApp& m_app;
    DisplayBinder* m_binder = nullptr;
    QWidget* m_panelMain = nullptr;
    QWidget* m_panelButtons = nullptr;
    QWidget* m_lampStrip = nullptr;
    QStackedWidget* m_pages = nullptr;
    LayoutScaler* m_scaler = nullptr;
    bool m_closed = false;
};
