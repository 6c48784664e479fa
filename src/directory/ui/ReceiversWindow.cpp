#include "directory/ui/ReceiversWindow.h"

#include "connection/ReceiverConnection.h"
#include "directory/ListAge.h"
#include "directory/ui/ReceiverTableModel.h"
#include "directory/ui/WorldMap.h"
#include "session/ConnectionFactory.h"
#include "session/ReceiverAddress.h"
#include "settings/Preferences.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int defaultDistanceKm = 2000;

} // namespace

ReceiversWindow::ReceiversWindow(std::unique_ptr<DirectorySources> sources, Preferences& preferences,
    FrequencyProvider currentFrequencyKHz, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_sources(std::move(sources))
    , m_preferences(preferences)
    , m_currentFrequency(std::move(currentFrequencyKHz))
    , m_model(new ReceiverTableModel(this))
    , m_network(new QNetworkAccessManager(this))
{
    setObjectName(QStringLiteral("receiversWindow"));
    setWindowTitle(tr("Receivers"));

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("receiverTable"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(int(ReceiverColumn::name), Qt::AscendingOrder);
    m_table->setWordWrap(false);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(true);
    const int letter = fontMetrics().horizontalAdvance(QLatin1Char('x'));
    m_table->setColumnWidth(int(ReceiverColumn::name), letter * 26);
    m_table->setColumnWidth(int(ReceiverColumn::location), letter * 16);
    for (const ReceiverColumn narrow : {ReceiverColumn::bearing, ReceiverColumn::snr, ReceiverColumn::version})
        m_table->setColumnWidth(int(narrow), letter * 9);
    m_table->setColumnWidth(int(ReceiverColumn::distance), letter * 11);
    m_table->setColumnWidth(int(ReceiverColumn::kind), letter * 12);
    m_table->setAccessibleName(tr("Receivers"));
    m_map = new WorldMap(this);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(m_table);
    splitter->addWidget(m_map);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({700, 460});

    m_problems = new QLabel(this);
    m_problems->setObjectName(QStringLiteral("listProblems"));
    m_problems->setTextFormat(Qt::PlainText);
    m_problems->setWordWrap(true);

    auto* column = new QVBoxLayout(this);
    column->addWidget(makeFilterRow());
    column->addWidget(splitter, 1);
    column->addWidget(m_problems);
    column->addWidget(makeButtonRow());

    auto* listen = new QAction(this);
    listen->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    listen->setShortcutContext(Qt::WidgetShortcut);
    m_table->addAction(listen);
    connect(listen, &QAction::triggered, this, [this] { listenToSelected(QGuiApplication::keyboardModifiers()); });
    auto* close = new QAction(this);
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    addAction(close);
    connect(close, &QAction::triggered, this, &QWidget::close);

    connect(m_table, &QTableView::doubleClicked, this,
        [this] { listenToSelected(QGuiApplication::keyboardModifiers()); });
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        &ReceiversWindow::selectionChanged);
    connect(m_table->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, [this] {
        if (m_best)
            m_best->setChecked(false);
    });
    connect(m_map, &WorldMap::dotClicked, this, &ReceiversWindow::selectUrl);
    connect(m_map, &WorldMap::dotActivated, this, [this](const QString& url, Qt::KeyboardModifiers modifiers) {
        selectUrl(url);
        listenToSelected(modifiers);
    });
    connect(m_sources.get(), &DirectorySources::receiversChanged, this, &ReceiversWindow::showListings);
    connect(m_sources.get(), &DirectorySources::stateChanged, this, &ReceiversWindow::updateState);
    connect(&m_preferences, &Preferences::changed, this, [this](const QString& key) {
        if (key == PreferenceKeys::listenerLocation)
            showListings();
    });
    // The refresh button's time and the rows' ages move on by themselves.
    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, [this] {
        updateState();
        m_table->viewport()->update();
    });
    clock->start(std::chrono::seconds(30));

    resize(1200, 640);
    showListings();
    m_sources->start();
}

ReceiversWindow::~ReceiversWindow() = default;

QWidget* ReceiversWindow::makeFilterRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);

    m_search = new QLineEdit(row);
    m_search->setObjectName(QStringLiteral("receiverSearch"));
    m_search->setPlaceholderText(tr("Search names, places, antennas"));
    m_search->setAccessibleName(tr("Search"));
    m_search->setClearButtonEnabled(true);
    m_kind = new QComboBox(row);
    m_kind->setObjectName(QStringLiteral("receiverKind"));
    m_kind->addItem(tr("All Kinds"));
    m_kind->addItem(ReceiverTableModel::kindText(ServerKind::kiwiSDR), int(ServerKind::kiwiSDR));
    m_kind->addItem(ReceiverTableModel::kindText(ServerKind::openWebRX), int(ServerKind::openWebRX));
    m_freeOnly = new QCheckBox(tr("Has a free channel"), row);
    m_freeOnly->setObjectName(QStringLiteral("freeChannelOnly"));
    m_covers = new QCheckBox(tr("Covers"), row);
    m_covers->setObjectName(QStringLiteral("coversFrequency"));
    m_covers->setChecked(true);
    m_frequency = new QLineEdit(row);
    m_frequency->setObjectName(QStringLiteral("filterFrequency"));
    m_frequency->setAccessibleName(tr("Frequency in kHz"));
    m_frequency->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 10);
    m_within = new QCheckBox(tr("Within"), row);
    m_within->setObjectName(QStringLiteral("withinDistance"));
    m_distance = new QSpinBox(row);
    m_distance->setObjectName(QStringLiteral("maxDistance"));
    m_distance->setRange(50, 20'000);
    m_distance->setSingleStep(250);
    m_distance->setValue(defaultDistanceKm);
    m_distance->setSuffix(tr(" km"));
    m_best = new QPushButton(tr("Best for This Frequency"), row);
    m_best->setObjectName(QStringLiteral("bestForFrequency"));
    m_best->setCheckable(true);
    m_best->setToolTip(tr("Receivers that cover the frequency first, then those with a free channel, then the "
                          "highest SNR less 1 dB for every 500 km of distance"));

    layout->addWidget(m_search, 1);
    layout->addWidget(m_kind);
    layout->addWidget(m_freeOnly);
    layout->addWidget(m_covers);
    layout->addWidget(m_frequency);
    layout->addWidget(new QLabel(tr("kHz"), row));
    layout->addWidget(m_within);
    layout->addWidget(m_distance);
    layout->addWidget(m_best);

    connect(m_search, &QLineEdit::textChanged, this, &ReceiversWindow::applyQuery);
    connect(m_kind, &QComboBox::currentIndexChanged, this, &ReceiversWindow::applyQuery);
    connect(m_freeOnly, &QCheckBox::toggled, this, &ReceiversWindow::applyQuery);
    connect(m_covers, &QCheckBox::toggled, this, &ReceiversWindow::applyQuery);
    connect(m_frequency, &QLineEdit::textEdited, this, [this] {
        m_frequencyChosen = true;
        applyQuery();
    });
    connect(m_within, &QCheckBox::toggled, this, &ReceiversWindow::applyQuery);
    connect(m_distance, &QSpinBox::valueChanged, this, &ReceiversWindow::applyQuery);
    connect(m_best, &QPushButton::toggled, this, [this](bool on) {
        if (on)
            m_model->sortBestFor(filterFrequency());
        else
            m_model->sortByColumn(static_cast<ReceiverColumn>(m_table->horizontalHeader()->sortIndicatorSection()),
                m_table->horizontalHeader()->sortIndicatorOrder());
        updateMap();
    });
    return row;
}

QWidget* ReceiversWindow::makeButtonRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_summary = new QLabel(row);
    m_summary->setObjectName(QStringLiteral("listSummary"));
    m_summary->setTextFormat(Qt::PlainText);
    m_refresh = new QPushButton(tr("Refresh"), row);
    m_refresh->setObjectName(QStringLiteral("refreshLists"));
    m_addToServers = new QPushButton(tr("Add to Servers"), row);
    m_addToServers->setObjectName(QStringLiteral("addToServers"));
    m_whenFree = new QPushButton(tr("Connect When Free"), row);
    m_whenFree->setObjectName(QStringLiteral("directoryConnectWhenFree"));
    m_whenFree->setToolTip(tr("Every channel is in use: connect as soon as one is free"));
    m_listen = new QPushButton(tr("Listen"), row);
    m_listen->setObjectName(QStringLiteral("listen"));
    m_listen->setToolTip(tr("Listen in the current window; with Ctrl, in a new window"));
    layout->addWidget(m_summary, 1);
    layout->addWidget(m_refresh);
    layout->addWidget(m_addToServers);
    layout->addWidget(m_whenFree);
    layout->addWidget(m_listen);

    connect(m_refresh, &QPushButton::clicked, m_sources.get(), &DirectorySources::refresh);
    connect(m_addToServers, &QPushButton::clicked, this, [this] {
        if (const ReceiverListing* listing = selectedListing()) {
            m_preferences.addBookmark(listing->url);
            if (!listing->name.isEmpty())
                m_preferences.setServerName(listing->url, listing->name);
        }
    });
    connect(m_whenFree, &QPushButton::clicked, this,
        [this] { listenToSelected(QGuiApplication::keyboardModifiers(), true); });
    connect(m_listen, &QPushButton::clicked, this, [this] { listenToSelected(QGuiApplication::keyboardModifiers()); });
    return row;
}

void ReceiversWindow::showEvent(QShowEvent* event)
{
    // The frequency of the window in use, until the listener types another.
    if (!m_frequencyChosen && m_currentFrequency) {
        if (const std::optional<double> kHz = m_currentFrequency()) {
            m_frequency->setText(QLocale::c().toString(*kHz, 'f', kHz == std::floor(*kHz) ? 0 : 2));
            applyQuery();
        }
    }
    QWidget::showEvent(event);
}

std::optional<GeoPoint> ReceiversWindow::listener() const
{
    return readListenerPosition(m_preferences.listenerLocation());
}

std::optional<double> ReceiversWindow::filterFrequency() const
{
    if (!m_covers->isChecked())
        return std::nullopt;
    return frequencyKHzFromText(m_frequency->text());
}

const ReceiverListing* ReceiversWindow::selectedListing() const
{
    const ReceiverRow* row = m_model->rowAt(m_table->currentIndex().row());
    return row ? &row->listing : nullptr;
}

void ReceiversWindow::showListings()
{
    const std::optional<GeoPoint> position = listener();
    const QString selected = selectedListing() ? selectedListing()->url : QString();
    m_model->setListings(m_sources->receivers(), position);
    m_within->setEnabled(position.has_value());
    m_distance->setEnabled(position.has_value());
    m_within->setToolTip(position ? QString() : tr("Set your location in Settings to filter by distance"));
    m_map->setListener(position);
    selectUrl(selected);
    updateMap();
    updateState();
}

void ReceiversWindow::applyQuery()
{
    ReceiverQuery query;
    query.text = m_search->text();
    if (m_kind->currentIndex() > 0)
        query.kind = static_cast<ServerKind>(m_kind->currentData().toInt());
    query.freeChannelOnly = m_freeOnly->isChecked();
    query.frequencyKHz = filterFrequency();
    if (m_within->isChecked() && m_within->isEnabled())
        query.maxDistanceKm = m_distance->value();
    const QString selected = selectedListing() ? selectedListing()->url : QString();
    m_model->setQuery(query);
    selectUrl(selected);
    updateMap();
    updateState();
}

void ReceiversWindow::updateMap()
{
    QList<WorldMap::Dot> dots;
    for (const ReceiverRow* row : m_model->shownRows()) {
        const ReceiverListing& listing = row->listing;
        if (listing.hasPosition())
            dots.append({listing.url, listing.name, {*listing.latitude, *listing.longitude}, listing.kind,
                listing.hasFreeChannel()});
    }
    m_map->setDots(std::move(dots));
}

void ReceiversWindow::updateState()
{
    QString summary = tr("%1 of %2 receivers").arg(m_model->rowCount()).arg(m_model->totalCount());
    if (const std::optional<QDateTime> oldest = m_sources->oldestList())
        summary = tr("%1; lists from %2 ago").arg(summary, listAgeText(oldest->msecsTo(QDateTime::currentDateTime())));
    else if (m_sources->isBusy())
        summary = tr("Fetching the receiver lists\u2026");
    m_summary->setText(summary);
    m_problems->setText(m_sources->problems().join(u'\n'));
    m_problems->setVisible(!m_sources->problems().isEmpty());

    const std::optional<QDateTime> next = m_sources->nextRefreshAllowed();
    m_refresh->setEnabled(!m_sources->isBusy() && !next);
    if (m_sources->isBusy())
        m_refresh->setText(tr("Refreshing\u2026"));
    else if (next)
        m_refresh->setText(tr("Refresh at %1").arg(QLocale().toString(next->time(),
            QLocale().timeFormat(QLocale::ShortFormat).remove(QLatin1String(":ss")))));
    else
        m_refresh->setText(tr("Refresh"));
    m_refresh->setToolTip(tr("Each list is fetched at most once every 30 minutes"));

    const ReceiverListing* listing = selectedListing();
    m_listen->setEnabled(listing != nullptr);
    m_addToServers->setEnabled(listing != nullptr);
    m_whenFree->setVisible(listing && listing->hasFreeChannel() == false);
}

void ReceiversWindow::selectUrl(const QString& url)
{
    const int row = url.isEmpty() ? -1 : m_model->rowOf(url);
    if (row < 0) {
        m_table->clearSelection();
        m_table->setCurrentIndex(QModelIndex());
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    m_table->setCurrentIndex(index);
    m_table->selectRow(row);
    m_table->scrollTo(index);
}

void ReceiversWindow::selectionChanged()
{
    const ReceiverListing* listing = selectedListing();
    m_map->setSelected(listing ? listing->url : QString());
    updateState();
    if (listing)
        askLiveStatus(*listing);
}

void ReceiversWindow::askLiveStatus(const ReceiverListing& listing)
{
    // Only the selected receiver is asked, and an earlier question is dropped.
    m_statusRequest = std::make_unique<QObject>();
    const ListenerCountReader reader = ConnectionFactory::listenerCountReader(listing.kind);
    if (!reader)
        return;
    const QPointer<ReceiversWindow> window(this);
    const EventPost post = [window](std::function<void()> event) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), [window, event = std::move(event)] {
            if (window)
                event();
        }, Qt::QueuedConnection);
    };
    reader(*m_network, QUrl(listing.url + u'/'), m_statusRequest.get(), post,
        [this, url = listing.url](const std::optional<ListenerCounts>& counts) {
            if (!counts || counts->users < 0 || counts->maxUsers < 0 || counts->users > 1000 || counts->maxUsers > 1000)
                return;
            m_model->updateCounts(url, int(counts->users), int(counts->maxUsers));
            updateMap();
            updateState();
        });
}

void ReceiversWindow::listenToSelected(Qt::KeyboardModifiers modifiers, bool whenFree)
{
    const ReceiverListing* listing = selectedListing();
    if (!listing)
        return;
    emit listenRequested({*listing, filterFrequency(), modifiers.testFlag(Qt::ControlModifier), whenFree});
}
