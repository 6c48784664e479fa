#include "app/MainWindowContent.h"

#include "app/TuningKeys.h"
#include "session/ReceiverClient.h"

#include <QKeyEvent>

MainWindowContent::MainWindowContent(ReceiverClient& client, QWidget* parent) : QWidget(parent), m_client(client)
{
    setFocusPolicy(Qt::StrongFocus);
}

void MainWindowContent::keyPressEvent(QKeyEvent* event)
{
    const std::optional<double> step = tuningKeyStep(event->key(), event->modifiers());
    if (!step || !m_client.state().isConnected()) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Key repeats tune too: holding an arrow sweeps the band.
    m_client.tune(steppedFrequencyKHz(m_client.frequencyKHz(), *step));
    event->accept();
}
