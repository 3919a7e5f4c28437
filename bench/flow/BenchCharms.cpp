// Measures the charm page on the real frame with Qt's offscreen platform,
// the demo service and virtual toys:
//  - a charm touched on the toy, from the touch command to the first paint
//    of the list that shows it (20 touches);
//  - the page shown for a full box (30 charms), from the main menu's
//    message to the first paint of the list holding them all (the first
//    showing, which loads the catalogue and its pictures, apart).
// Prints median and worst in milliseconds.

#include "Flow/GuiApplication.h"
#include "ThinUI/Controls.h"
#include "Tools/WebEngineSetup.h"
#include "resources/Resources.h"
#include "tests/Flow/CharmTestSupport.h"

#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using FlowTest::CharmWorld;
using FlowTest::ScriptedToy;
using Page = Glm::CGLMCharmsUploadDlg;

double Ms(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

void Print(const char* what, std::vector<double> samples) {
    if (samples.empty()) {
        std::printf("%-62s no samples\n", what);
        return;
    }
    std::sort(samples.begin(), samples.end());
    std::printf("%-62s median %7.1f ms  worst %7.1f ms  (%zu runs)\n", what, samples[samples.size() / 2],
                samples.back(), samples.size());
}

/// The time of the first paint of a widget for which ready() holds.
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget& widget, std::function<bool()> ready) : m_widget(widget), m_ready(std::move(ready)) {
        widget.installEventFilter(this);
    }
    ~PaintWatch() override { m_widget.removeEventFilter(this); }
    bool Painted() const { return m_painted; }
    Clock::time_point When() const { return m_when; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_painted && m_ready()) {
            m_painted = true;
            m_when = Clock::now();
        }
        return false;
    }

private:
    QWidget& m_widget;
    std::function<bool()> m_ready;
    bool m_painted = false;
    Clock::time_point m_when;
};

bool Has(Page& page, std::int32_t charm) {
    const std::vector<std::int32_t> listed = page.GetListedCharms();
    return std::find(listed.begin(), listed.end(), charm) != listed.end();
}

void PageShown() {
    QStringList charms;
    for (int id = 1001; id <= 1030; ++id) {
        charms << "--charm" << QString::number(id);
    }
    ScriptedToy box("jewelrybox", "bench-full-box", charms);
    CharmWorld world;
    if (world.UseToy(4115, CharmWorld::JewelryBoxClickId()) < 0) {
        std::printf("the box did not come\n");
        return;
    }
    std::vector<double> first;
    std::vector<double> later;
    for (int run = 0; run < 11; ++run) {
        Page* page = world.frame.GetScreen<Page>(142);
        std::unique_ptr<PaintWatch> watch;
        if (page != nullptr) {
            watch = std::make_unique<PaintWatch>(*page->GetList()->viewport(),
                                                 [page] { return page->GetList()->count() == 30; });
        }
        const auto start = Clock::now();
        page = world.OpenPage();
        if (!watch) {
            watch = std::make_unique<PaintWatch>(*page->GetList()->viewport(),
                                                 [page] { return page->GetList()->count() == 30; });
        }
        if (!FlowTest::WaitUntil([&] { return watch->Painted(); })) {
            std::printf("the list was not painted\n");
            return;
        }
        (run == 0 ? first : later).push_back(Ms(watch->When() - start));
        QCoreApplication::postEvent(page, new ThinUI::CommandEvent(Page::kBackId));
        QCoreApplication::sendPostedEvents(page);
    }
    Print("page shown, full box (30 charms): first showing", first);
    Print("page shown, full box (30 charms): later showings", later);
}

void TouchToPaint() {
    ScriptedToy box("jewelrybox", "bench-touch-box");
    CharmWorld world;
    if (world.UseToy(4115, CharmWorld::JewelryBoxClickId()) < 0) {
        std::printf("the box did not come\n");
        return;
    }
    Page* page = world.OpenPage();
    std::vector<double> samples;
    for (std::int32_t charm = 1001; charm <= 1020; ++charm) {
        // Touches come at any moment of the poll period, not just after a
        // poll: spread them over it.
        QTest::qWait((charm * 37) % Glm::CharmPoller::kPeriodMs);
        PaintWatch watch(*page->GetList()->viewport(), [page, charm] { return Has(*page, charm); });
        const auto start = Clock::now();
        box.Command("touch charm " + std::to_string(charm));
        if (!FlowTest::WaitUntil([&] { return watch.Painted(); })) {
            std::printf("charm %d was not painted\n", charm);
            return;
        }
        samples.push_back(Ms(watch.When() - start));
    }
    Print("charm touched on the toy to its item painted", samples);
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir toyDirectory;
    ::setenv("GLIMMERIES_TOY_DIR", toyDirectory.path().toLocal8Bit().constData(), 1);
    Web::PrepareWebEngine();
    Glm::GuiApplication application(argc, argv);
    GlmInitResources();
    CharmWorld::Demo();
    TouchToPaint();
    PageShown();
    CharmWorld::StopDemo();
    return 0;
}
