#include "FieldJson.h"

Json FieldJson(const ShownField& field)
{
    return Json{{"name", field.name},
                {"bits", field.bits},
                {"value", field.value ? Json(*field.value) : Json(nullptr)},
                {"meaning", field.value ? Json(field.meaning) : Json(nullptr)},
                {"description", field.description}};
}
