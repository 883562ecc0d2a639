#include "ui/MainWindow.h"

#include "app/TachoraApp.h"
#include "common/ErrorReporter.h"
#include "display/DisplayState.h"
#include "display/Navigation.h"
#include "ui/Dashboard.h"
#include "ui/DisplayBinder.h"
#include "ui/LayoutScaler.h"
#include "ui/SvgPicture.h"
#include "ui/pages/FuelPage.h"
#include "ui/pages/MainPage.h"
#include "ui/pages/SensorsPage.h"
#include "ui/pages/SettingsPage.h"
#include "ui/pages/StatisticsPage.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QStackedWidget>
#include <QSvgRenderer>

namespace {

QPixmap renderSvg(const QString& resource, QSize size)
{
    QPixmap pixmap(size * 2); // sharp when the layout grows
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    QSvgRenderer(resource).render(&p);
    return pixmap;
}

QWidget* blackPanel(QWidget* parent, const char* name)
{
    auto* w = new QWidget(parent);
    w->setObjectName(QString::fromLatin1(name));
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, Qt::black);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
    return w;
}

} // namespace

static void initAssets()
{
    // The artwork is compiled into this static library; make sure the linker keeps it.
    Q_INIT_RESOURCE(assets);
}

MainWindow::MainWindow(TachoraApp& app, QWidget* parent)
    : QWidget(parent)
    , m_app(app)
{
    initAssets();
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Kestorin"));
    setWindowIcon(QIcon(QStringLiteral(":/assets/app_icon.svg")));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    resize(kDesignedClientWidth, kDesignedClientHeight);

    m_binder = new DisplayBinder(app.display(), this);

    m_panelMain = blackPanel(this, "PanelMain");
    m_panelMain->setGeometry(0, 0, kPanelWidth, kPanelHeight);

    m_panelButtons = new Dashboard::RoundedShape(Dashboard::cardColor(), m_panelMain);
    m_panelButtons->setObjectName(QStringLiteral("PanelButtons"));
    m_panelButtons->setProperty(LayoutScaler::kContainerProperty, true);
    m_panelButtons->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    m_panelButtons->setGeometry(0, 0, 68, kPanelHeight);
    buildNavigationBar(m_panelButtons);

    m_pages = new QStackedWidget(m_panelMain);
    m_pages->setObjectName(QStringLiteral("sPageControl1"));
    m_pages->setGeometry(68, 0, kPanelWidth - 68, kPanelHeight);
    m_pages->setFont(Dashboard::verdana(16, true));
    m_pages->addWidget(new MainPage(*m_binder, m_pages));
    m_pages->addWidget(new SensorsPage(*m_binder, m_pages));
    m_pages->addWidget(new StatisticsPage(m_app, *m_binder, m_pages));
    m_pages->addWidget(new SettingsPage(m_app, *m_binder, m_pages));
    m_pages->addWidget(new FuelPage(m_app, *m_binder, m_pages));
    m_binder->bindPage(m_pages, DisplayId::sPageControl1);

    m_scaler = new LayoutScaler(*this, *m_panelMain, [this] { realign(); }, this);

    connect(&m_app.errors(), &ErrorReporter::messageRaised, this, &MainWindow::showError);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildNavigationBar(QWidget* bar)
{
    struct Place
    {
        Navigation::Place place;
        int top;
        const char* icon;
    };
    const Place places[] = {{Navigation::Place::Main, 3, "car"},
                            {Navigation::Place::Statistics, 78, "notepad"},
                            {Navigation::Place::Sensors, 153, "dial"},
                            {Navigation::Place::Fuel, 228, "nozzle"},
                            {Navigation::Place::Settings, 304, "tools"}};
    for (const Place& p : places) {
        for (bool active : {false, true}) {
            const DisplayId id = active ? Navigation::highlightedPicture(p.place)
                                        : Navigation::normalPicture(p.place);
            const QString resource = QStringLiteral(":/assets/nav_%1%2.svg")
                                         .arg(QLatin1String(p.icon),
                                              active ? QStringLiteral("_active") : QString());
            auto* picture = new SvgPicture(resource, true, bar);
            picture->setObjectName(DisplayState::name(id));
            picture->setGeometry(1, p.top, 65, 65);
            m_binder->bindVisibility(picture, id);
            const Navigation::Place place = p.place;
            connect(picture, &SvgPicture::clicked, this,
                    [this, place] { m_app.navigation().click(place); });
        }
    }

    m_lampStrip = new Dashboard::RoundedShape(Qt::black, bar);
    m_lampStrip->setObjectName(QStringLiteral("Shape18"));
    m_lampStrip->setGeometry(0, 371, 68, 29);
    const QPixmap off = renderSvg(QStringLiteral(":/assets/lamp_off.svg"), {17, 17});
    const QPixmap on = renderSvg(QStringLiteral(":/assets/lamp_on.svg"), {17, 17});
    const std::pair<DisplayId, int> lamps[] = {
        {DisplayId::ImagePort, 6}, {DisplayId::ImageAdapter, 28}, {DisplayId::ImageECU, 51}};
    for (const auto& [id, left] : lamps) {
        auto* lamp = new QLabel(bar);
        lamp->setObjectName(DisplayState::name(id));
        lamp->setScaledContents(true);
        lamp->setGeometry(left, 375, 17, 17);
        m_binder->bindLamp(lamp, id, off, on);
    }
}

void MainWindow::realign()
{
    // The bar keeps to the left edge, the pages fill the rest, the lamp strip keeps to the
    // bottom of the bar.
    const QSize panel = m_panelMain->size();
    m_panelButtons->setGeometry(0, 0, m_panelButtons->width(), panel.height());
    m_pages->setGeometry(m_panelButtons->width(), 0, panel.width() - m_panelButtons->width(),
                         panel.height());
    m_lampStrip->move(0, m_panelButtons->height() - m_lampStrip->height());
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_scaler->FormResize();
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
