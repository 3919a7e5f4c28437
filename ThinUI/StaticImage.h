#pragma once
// A picture placed on a dialog; sized to the picture at its first paint.

#include "Image.h"

#include <QWidget>
#include <memory>

namespace ThinUI {

class StaticImage : public QWidget {
public:
    explicit StaticImage(std::unique_ptr<Image> image);
    ~StaticImage() override;

    /// Places the picture on dialog with its item id at (x, y); see
    /// C3StateButton::Attach for the size. False without a dialog.
    bool Attach(QWidget* dialog, int controlId, int x, int y, int cx = 0, int cy = 0);

    int GetControlId() const { return m_controlId; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<Image> m_image;
    int m_controlId = 0;
};

} // namespace ThinUI
