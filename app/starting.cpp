#include "app/starting.h"

#include <QLabel>
#include <QVBoxLayout>

namespace app {

Starting::Starting() : QWidget(nullptr, Qt::SplashScreen | Qt::WindowStaysOnTopHint)
{
    setObjectName("Starting");
    auto* lay = new QVBoxLayout(this);
    auto* title = new QLabel("<h1>Tedsmith</h1><p>TEDS editor for smart transducers</p><p>Starting...</p>", this);
    title->setAlignment(Qt::AlignCenter);
    lay->addWidget(title);
    setStyleSheet("background: #c0dcc0;");
    resize(360, 180);
}

} // namespace app
