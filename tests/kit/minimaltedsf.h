#pragma once
// The memory node's window of tests that run without the TEDS editor's window: it reads
// the node through its driver, finds what the memory holds and reports the state the
// node list shows ("TEDS", "Nodelist", "CRC error", "memory not assigned").

#include "core/teds/tedsbuf.h"
#include "tests/kit/basicnodewindow.h"

#include <functional>

class QLineEdit;

namespace shell {

// Reads a node's memory into tb (id and family set). The default is the node driver.
using MemoryReader = std::function<void(core::TedsBuf& tb)>;
// An empty reader restores the driver.
void setMemoryReader(MemoryReader reader);

class MinimalTedsF final : public BasicNodeWindow {
    Q_OBJECT
public:
    MinimalTedsF();

    void Inititiate(int index) override;
    void Inititiate(int index, std::int32_t& state) override;
    std::string Title() const override { return title_; }
    void MakeNodeListfrombuf() override;

    const core::TedsBuf& teds() const { return tb_; }
    QLineEdit* TitleBox = nullptr;

private:
    core::TedsBuf tb_;
    std::string title_;
};

} // namespace shell
