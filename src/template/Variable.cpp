#include "template/Variable.h"

namespace vellum {

std::string_view Variable::Value1() const {
    std::string_view v = Value;
    return v.substr(0, v.find(','));
}

std::string_view Variable::Value2() const {
    std::string_view v = Value;
    std::size_t first = v.find(',');
    if (first == std::string_view::npos) return {};
    std::size_t second = v.find(',', first + 1);
    return v.substr(first + 1, second == std::string_view::npos ? std::string_view::npos
                                                                   : second - first - 1);
}

std::string_view Variable::Value3() const {
    std::string_view v = Value;
    std::size_t first = v.find(',');
    std::size_t second = first == std::string_view::npos ? first : v.find(',', first + 1);
    return second == std::string_view::npos ? std::string_view{} : v.substr(second + 1);
}

} // namespace vellum
