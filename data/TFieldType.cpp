#include "TFieldType.h"

const char* FieldTypeName(TFieldType type)
{
    switch (type) {
    case TFieldType::ftString:
        return "String";
    case TFieldType::ftInteger:
        return "Integer";
    case TFieldType::ftFloat:
        return "Float";
    case TFieldType::ftUnknown:
        break;
    }
    return "Unknown";
}
