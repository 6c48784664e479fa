#pragma once
// The Receivers window: every public receiver of the lists in a table and on
// a map, with filters (text, kind, a free channel, covering a frequency, a
// distance from the listener), column orders and "best for this
// frequency". Listen (or a double click; with Ctrl in a new window) asks the
// application to connect, tuned to the frequency the filter used; Add to
// Servers keeps the address; a receiver that is full offers Connect When
// Free. Selecting a receiver asks it alone for its listener counts. Under
// the table: one plain line per list in trouble, and when Refresh may fetch
// the lists again.

#include "directory/Geo.h"
#include "directory/ReceiverListing.h"
#include "directory/online/DirectorySources.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class Preferences;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QNetworkAccessManager;
class QPushButton;
class QSpinBox;
class QTableView;
class ReceiverTableModel;
class WorldMap;

class ReceiversWindow : public QWidget {
    Q_OBJECT
public:
    struct ListenRequest {
        ReceiverListing listing;
        std::optional<double> frequencyKHz;
        bool newWindow = false;
        // Wait for a free channel when every one is busy.
        bool whenFree = false;
    };
    // The frequency of the window the listener last used, if any.
    using FrequencyProvider = std::function<std::optional<double>()>;

    ReceiversWindow(std::unique_ptr<DirectorySources> sources, Preferences& preferences,
        FrequencyProvider currentFrequencyKHz, QWidget* parent = nullptr);
    ~ReceiversWindow() override;

    // Listens to the selected receiver; Ctrl asks for a new window.
    void listenToSelected(Qt::KeyboardModifiers modifiers, bool whenFree = false);

    DirectorySources& sources() const { return *m_sources; }
    ReceiverTableModel& model() const { return *m_model; }
    QTableView* table() const { return m_table; }
    WorldMap* map() const { return m_map; }
    QLineEdit* searchField() const { return m_search; }
    QLineEdit* frequencyField() const { return m_frequency; }
    QCheckBox* coversCheck() const { return m_covers; }
    QPushButton* refreshButton() const { return m_refresh; }
    QPushButton* listenButton() const { return m_listen; }
    QPushButton* whenFreeButton() const { return m_whenFree; }
    QLabel* problemLine() const { return m_problems; }
    const ReceiverListing* selectedListing() const;

signals:
    void listenRequested(const ReceiversWindow::ListenRequest& request);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeFilterRow();
    QWidget* makeButtonRow();
    std::optional<GeoPoint> listener() const;
    std::optional<double> filterFrequency() const;
    void showListings();
    void applyQuery();
    void updateMap();
    void updateState();
    void selectUrl(const QString& url);
    void selectionChanged();
    void askLiveStatus(const ReceiverListing& listing);

    std::unique_ptr<DirectorySources> m_sources;
    Preferences& m_preferences;
    FrequencyProvider m_currentFrequency;
    ReceiverTableModel* m_model;
    QNetworkAccessManager* m_network;
    std::unique_ptr<QObject> m_statusRequest;
    QTableView* m_table = nullptr;
    WorldMap* m_map = nullptr;
    QLineEdit* m_search = nullptr;
    QComboBox* m_kind = nullptr;
    QCheckBox* m_freeOnly = nullptr;
    QCheckBox* m_covers = nullptr;
    QLineEdit* m_frequency = nullptr;
    QCheckBox* m_within = nullptr;
    QSpinBox* m_distance = nullptr;
    QPushButton* m_best = nullptr;
    QLabel* m_problems = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_refresh = nullptr;
    QPushButton* m_addToServers = nullptr;
    QPushButton* m_whenFree = nullptr;
    QPushButton* m_listen = nullptr;
    bool m_frequencyChosen = false;
};
