#pragma once
// Takes the mouse away from the web engine's widgets inside a content window.
// Attached to the engine's view, it filters the view and every widget the
// engine places inside it (now or later): left and right presses, releases
// and double clicks go to the content window's matching operation and are
// consumed, so the page never sees them; cursor changes are turned back to
// the content window's cursor; context menus and drops never reach the page.
// Everything else (painting, wheel, keys) passes on unchanged.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace Web {

class ContentWindow;

class ContentWindowMouseThief : public QObject {
public:
    explicit ContentWindowMouseThief(ContentWindow* owner);
    ~ContentWindowMouseThief() override;

    /// Starts filtering target and its descendants; a previous target is
    /// released first. Attaching to the current target again does nothing.
    void Attach(QWidget* target);
    /// Stops filtering; widgets already destroyed are skipped.
    void Detach();
    bool IsAttached() const { return !m_target.isNull(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Watch(QWidget* widget);
    void ApplyCursor(QWidget* widget);

    ContentWindow* m_owner;
    QPointer<QWidget> m_target;
    QList<QPointer<QWidget>> m_watched;
};

} // namespace Web
