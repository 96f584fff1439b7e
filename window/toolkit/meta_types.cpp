#include "toolkit/meta_types.h"

void register_meta_types()
{
    qRegisterMetaType<Vector>("Vector");
    qRegisterMetaType<std::vector<Vector>>("std::vector<Vector>");
    qRegisterMetaType<std::vector<int>>("std::vector<int>");
    qRegisterMetaType<std::vector<float>>("std::vector<float>");
    qRegisterMetaType<std::vector<QColor>>("std::vector<QColor>");
    qRegisterMetaType<std::string>("std::string");
    qRegisterMetaType<std::vector<std::string>>("std::vector<std::string>");
}
