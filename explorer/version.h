// The component version service: file name, name, version and about text,
// each handed to the host's receiver with one whole-text assign.
#pragma once

#include "frame/service.h"
#include "text/string8.h"

class componentversion : public service_base {
public:
    static constexpr guid class_guid{
        0x10BB3EBD, 0xDDF7, 0x4975, {0xA3, 0xCC, 0x23, 0x08, 0x48, 0x29, 0x45, 0x3E}};

    virtual void report_file_name(kvo::string_base& out) = 0;
    virtual void report_name(kvo::string_base& out) = 0;
    virtual void report_version(kvo::string_base& out) = 0;
    virtual void report_about(kvo::string_base& out) = 0;

protected:
    ~componentversion() = default;
};

constexpr char component_name[] = "krelvashimon";
constexpr char component_version[] = "1.31";
constexpr char component_about[] =
    "krelvashimon\n"
    "For: quelmodrin v0.9.3.1\n"
    "\n"
    "Contributors:\n"
    "Ilse Marrow\n"
    "Tomas Venn";

class componentversion_impl_simple : public componentversion {
public:
    using service_interface = componentversion;

    componentversion_impl_simple(const char* name, const char* version, const char* about)
        : name_text(name), version_text(version), about_text(about) {}

    bool query(service_ref* holder, const guid* requested) override;
    void report_file_name(kvo::string_base& out) override;
    void report_name(kvo::string_base& out) override;
    void report_version(kvo::string_base& out) override;
    void report_about(kvo::string_base& out) override;

    const char* name_text;
    const char* version_text;
    const char* about_text;
};

class componentversion_impl_simple_factory
    : public service_factory_single_transparent_t<componentversion_impl_simple> {
public:
    componentversion_impl_simple_factory(service_factory_base*& list, const char* name,
                                         const char* version, const char* about)
        : service_factory_single_transparent_t(list, name, version, about) {}
};
