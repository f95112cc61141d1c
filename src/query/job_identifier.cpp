#include "query/job_identifier.h"

#include <cstring>

#include "query/record_fields.h"

namespace psw {

namespace {

// The identifier is an implied OCTET STRING index of at most this many bytes.
constexpr uint32_t kJobIdBytes = 8;
constexpr uint32_t kCancelInstancePrefix = 101;

}  // namespace

Result pmc_decode_job_id(const PmsVarBind* binding, const char* column, char* field,
                         size_t size) noexcept
{
    const char* instance = pmc_instance_after(binding, column);
    if (instance == nullptr) {
        return PSW_ERR_INDEX_VALUE;
    }
    Result result = PSW_SUCCESS;
    OwnedPtr<IPmsOid> oid(create_oid_from_text(instance, &result));
    if (oid == nullptr) {
        return result;
    }
    result = oid->remove(0, 2);
    if (result != PSW_SUCCESS) {
        return PSW_ERR_INDEX_VALUE;
    }
    OwnedPtr<IPmsValue> identifier(create_value(kPmsOctetString, &result));
    if (identifier == nullptr) {
        return result;
    }
    result = identifier->set_from_index(oid.get(), true, kJobIdBytes);
    if (result != PSW_SUCCESS) {
        return result;
    }
    return pmc_store_text(identifier.get(), field, size);
}

Result pmc_job_cancel_instance(const char* job_id, OwnedPtr<IPmsOid>* out) noexcept
{
    if (job_id == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    // An identifier comes from a 256-byte record field; anything longer is not one.
    const size_t length = strnlen(job_id, kJobIdMaxLength + 1);
    if (length > kJobIdMaxLength) {
        return PSW_ERR_PARAMETER;
    }
    Result result = PSW_SUCCESS;
    OwnedPtr<IPmsValue> identifier(create_value(kPmsOctetString, &result));
    if (identifier == nullptr) {
        return result;
    }
    result = identifier->set_octets(reinterpret_cast<const uint8_t*>(job_id), length);
    if (result != PSW_SUCCESS) {
        return result;
    }
    OwnedPtr<IPmsOid> instance(create_oid(&result));
    if (instance == nullptr) {
        return result;
    }
    result = instance->append(kCancelInstancePrefix);
    if (result == PSW_SUCCESS) {
        result = identifier->append_as_index(instance.get(), false);
    }
    if (result != PSW_SUCCESS) {
        return result;
    }
    *out = std::move(instance);
    return PSW_SUCCESS;
}

}  // namespace psw
