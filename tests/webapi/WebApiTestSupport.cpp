#include "WebApiTestSupport.h"

#include "common/Web/ContentWindowExceptions.h"

namespace WebApiTest {

int BusyCounter::s_depth = 0;
int BusyCounter::s_shown = 0;

void RecordingView::CreateClientWindow(QWidget*, const QRect& rect, UI::MessageTarget*) {
    if (failCreation) {
        Web::CantCreateFlashWindowException failure;
        failure.Message() << "no engine in this test";
        throw failure;
    }
    calls.push_back(ViewCall{"Create", rect, 0, {}, 0, 0, 0, {}});
}

} // namespace WebApiTest
