#pragma once

#include <QMainWindow>
#include <QPointer>

class Form2;
class QWebEngineView;
struct TickerState;

// The chart window: the provider's real-time chart in an embedded browser, switched by
// its menu between the futures, the Nasdaq and the Dow Jones. Pages it shows may not open
// new windows. The browser engine is started only when the first chart is shown, so the
// bar alone stays light.
class Form3 : public QMainWindow {
    Q_OBJECT
public:
    Form3(Form2& panel, const TickerState& state);

    // Sends the browser to a local file path; "about:Blank" before any chart does nothing.
    void navigate(const QString& target);
    // Writes the chart page for `symbol` and shows it.
    void showChart(const QString& symbol);

    void Futures_Click();
    void Nasdaq_Click();
    void DowJones_Click();

    QWebEngineView* WebBrowser1 = nullptr; // created with the first chart

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createBrowser();

    Form2& m_panel;
    const TickerState& m_state;
    QWidget* m_clientArea;
    bool m_placed = false;
};
