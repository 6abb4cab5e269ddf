#include "core/numeric/number.h"

#include "core/numeric/numberrules.h"

namespace core::numeric {

std::string Number::display() const
{
    switch (kind_) {
    case Kind::Double: return generalNumber(d_);
    case Kind::Exact: return exact_.toString();
    case Kind::Text: return text_;
    }
    return {};
}

} // namespace core::numeric
