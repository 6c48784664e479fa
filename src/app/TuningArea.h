#pragma once
// The middle of a main window: the tuning panel and the listening tools, with
// the receiver information beside them when the window is wide enough for
// all three, else the panel and the tools alone.

#include <QWidget>

class Preferences;
class ReceiverClient;
class ListeningChain;
class ListeningToolsPanel;
class ReceiverInfoView;
class TuningPanel;

class TuningArea : public QWidget {
    Q_OBJECT
public:
    static constexpr int minimumPanelWidth = 420;
    static constexpr int maximumPanelWidth = 560;
    static constexpr int minimumInfoWidth = 220;
    static constexpr int spacing = 24;

    TuningArea(ReceiverClient& client, ListeningChain& listening, Preferences& preferences, QWidget* parent = nullptr);

    bool showsReceiverInfo() const;
    // The narrowest width at which the receiver information fits beside the panel.
    int sideBySideWidth() const;

    TuningPanel* tuningPanel() const { return m_panel; }
    ListeningToolsPanel* listeningTools() const { return m_listening; }
    ReceiverInfoView* receiverInfo() const { return m_info; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void arrange(int width);
    int listeningWidth() const;

    QWidget* m_panelColumn;
    TuningPanel* m_panel;
    ListeningToolsPanel* m_listening;
    ReceiverInfoView* m_info;
};
