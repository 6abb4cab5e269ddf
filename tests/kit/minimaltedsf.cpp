#include "tests/kit/minimaltedsf.h"

#include "core/base/message.h"
#include "device/drivers/memorynode.h"
#include "platform/qt/cp1252.h"
#include "shell/nodes/nodelist.h"
#include "tests/kit/memoryselector.h"

#include <QLayout>
#include <QLineEdit>

namespace shell {

namespace {

MemoryReader& reader()
{
    static MemoryReader r;
    return r;
}

void readMemory(core::TedsBuf& tb)
{
    if (reader())
        reader()(tb);
    else
        device::Read_Node(tb, false);
}

} // namespace

void setMemoryReader(MemoryReader r) { reader() = std::move(r); }

MinimalTedsF::MinimalTedsF() : BasicNodeWindow(" Tedsmith - TEDS", "TedsF")
{
    TitleBox = new QLineEdit(this);
    TitleBox->setObjectName("Title");
    TitleBox->setReadOnly(true);
    layout()->addWidget(TitleBox);
}

void MinimalTedsF::Inititiate(int index)
{
    std::int32_t state = 0;
    Inititiate(index, state);
}

void MinimalTedsF::Inititiate(int index, std::int32_t& state)
{
    BasicNodeWindow::Inititiate(index);
    const std::string id = record(index)->id;
    if (tb_.id != id)
        tb_ = core::TedsBuf{};
    tb_.id = id;
    tb_.Family = record(index)->family;
    if (tb_.Status != core::TedsStatusReadOk) {
        const MemberScope reading(*this);
        readMemory(tb_);
    }
    // The read lets events run: the record may be gone.
    TrRecord* r = record(index);
    if (!r || r->obj.get() != static_cast<NodeWindow*>(this))
        return;

    const int status = tb_.Status;
    if (status == core::TedsStatusReadOk || status == core::TedsStatusCrcError) {
        const MemorySelector m = findMemorySelector(tb_);
        if (!m.found) {
            title_ = "Template not found";
            TitleBox->setText(platform::fromCp1252(title_));
            state = 1;
            return;
        }
        r->selector = m.selector;
        title_ = m.title;
        TitleBox->setText(platform::fromCp1252(title_));
    }
    switch (status) {
    case core::TedsStatusNotRead:
    case core::TedsStatusReadError:
    case core::TedsStatusVirgin:
        state = 1;
        break;
    case core::TedsStatusCrcError:
        state = 2;
        break;
    case core::TedsStatusReadOk:
        if (r->selector > core::kTedsManufacturerIdLast) {
            state = 0;
            core::ShowMessage("TEDS selector type not known : " + std::to_string(r->selector));
        } else if (r->selector == 1) {
            state = 4;
        } else if (r->selector >= 16) {
            state = 3;
        }
        break;
    default:
        break;
    }
}

void MinimalTedsF::MakeNodeListfrombuf()
{
    auto& list = nodesState().Node_list;
    list.clear();
    const auto byte = [this](int i) -> int { return i >= 1 && i <= tb_.Size && i < static_cast<int>(tb_.Bytes.size()) ? tb_.Bytes[i] : -1; };
    if (byte(1) != 1 || byte(2) != 0 || tb_.Status == core::TedsStatusCrcError) {
        core::ShowMessage("Error in Nodelist - TEDS form");
        return;
    }
    for (int k = 0; k <= byte(3) - 2; ++k) {
        const int start = 4 + 8 * k;
        if (byte(start + 7) < 0)
            break;  // the list runs past the image
        std::string id;
        for (int i = 7; i >= 0; --i)
            id += core::ByteToHex2(static_cast<unsigned>(byte(start + i)));
        if (id != tb_.id)
            list.push_back(id);
    }
}

} // namespace shell
