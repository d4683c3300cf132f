#include "explorer/version.h"

#include "frame/client.h"

bool componentversion_impl_simple::query(service_ref* holder, const guid* requested) {
    return query_own_class(this, componentversion::class_guid, holder, requested);
}

void componentversion_impl_simple::report_file_name(kvo::string_base& out) {
    out.assign(location_name(), kvo::whole_text);
}

void componentversion_impl_simple::report_name(kvo::string_base& out) {
    out.assign(name_text, kvo::whole_text);
}

void componentversion_impl_simple::report_version(kvo::string_base& out) {
    out.assign(version_text, kvo::whole_text);
}

void componentversion_impl_simple::report_about(kvo::string_base& out) {
    out.assign(about_text, kvo::whole_text);
}
