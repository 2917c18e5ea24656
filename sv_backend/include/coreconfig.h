// The backup client's main configuration file ("/opt/sarvelin/etc/config.file"
// on an installed system) read into typed settings. Every value is checked; a
// wrong one is reported as a warning log line and replaced by its default.
// A missing file leaves every default in place. The reader never writes.
//
//   SVcoreConfig config("/mnt/opt/sarvelin/etc/config.file");
//   std::string server = config.get_primary_server();
#pragma once

#include <cstdint>
#include <string>

#include "svinitial.h"

class SVcoreConfig : public SVinitial
{
public:
    explicit SVcoreConfig(const std::string& path);

    std::string get_primary_server() const { return primary_server_; }
    void set_primary_server(const std::string& v) { primary_server_ = v; }
    std::string get_secondary_server() const { return secondary_server_; }
    void set_secondary_server(const std::string& v) { secondary_server_ = v; }
    std::string get_local_schedule_file() const { return local_schedule_file_; }
    std::string get_client_inet_interface() const { return client_inet_interface_; }
    void set_client_inet_interface(const std::string& v) { client_inet_interface_ = v; }
    std::string get_server_inet_interfaces() const { return server_inet_interfaces_; }
    void set_server_inet_interfaces(const std::string& v) { server_inet_interfaces_ = v; }
    std::int32_t get_node_type() const { return node_type_; }
    void set_node_type(std::int32_t v) { node_type_ = v; }
    std::int32_t get_SV_functionality() const { return functionality_; }
    void set_SV_fulctionality(std::int32_t v) { functionality_ = v; }
    bool is_local_backup_directory() const { return use_local_backup_directory_; }
    void set_local_backup_dir_flag(bool v) { use_local_backup_directory_ = v; }
    std::string get_local_backup_directory() const { return local_backup_directory_; }
    void set_local_backup_directory(const std::string& v) { local_backup_directory_ = v; }
    std::uint32_t get_parallel_tasks() const { return parallel_tasks_; }
    void set_parallel_tasks(std::uint32_t v) { parallel_tasks_ = v; }
    std::string get_SVD_hash_algorithm() const { return svd_hash_algorithm_; }
    void set_SVD_hash_algorithm(const std::string& v) { svd_hash_algorithm_ = v; }
    std::uint32_t get_SVD_block_size() const { return svd_block_size_; }
    void set_SVD_block_size(std::uint32_t v) { svd_block_size_ = v; }
    std::uint32_t get_SVD_hash_length() const { return svd_hash_length_; }
    void set_SVD_hash_length(std::uint32_t v) { svd_hash_length_ = v; }
    bool is_digital_sign() const { return digital_sign_; }
    void set_digital_sign(bool v) { digital_sign_ = v; }
    std::string get_digital_sign_hash() const { return digital_sign_hash_; }
    // Stores a known signature hash name, "md5" for anything else.
    void set_digital_sign_hash(const std::string& v);
    std::int32_t get_client_shutdown_scenario() const { return client_shutdown_scenario_; }
    void set_client_shutdown_scenario(std::int32_t v) { client_shutdown_scenario_ = v; }
    std::int32_t get_server_shutdown_scenario() const { return server_shutdown_scenario_; }
    void set_server_shutdown_scenario(std::int32_t v) { server_shutdown_scenario_ = v; }
    bool is_rescue_mode() const { return rescue_mode_; }
    std::string get_cmd_service() const { return cmd_service_; }
    void set_cmd_service(const std::string& v) { cmd_service_ = v; }
    std::string get_media_service() const { return media_service_; }
    void set_media_service(const std::string& v) { media_service_ = v; }
    std::string get_svm_service() const { return svm_service_; }
    void set_svm_service(const std::string& v) { svm_service_ = v; }
    std::uint64_t get_deduplication_task_memory() const { return deduplication_task_memory_; }
    bool is_remote_replication_enabled() const { return remote_replication_; }
    bool is_centralized_recovery_enabled() const { return centralized_recovery_; }
    bool is_using_product_uuid_enabled() const { return use_product_uuid_; }
    bool is_blocks_aggregation_enabled() const { return blocks_aggregation_; }
    void set_blocks_aggregation(bool v) { blocks_aggregation_ = v; }
    bool is_ip_instead_hostname_enabled() const { return ip_instead_hostname_; }
    std::uint32_t get_client_ping_timeout() const { return client_ping_timeout_; }
    std::uint32_t get_client_alive_timeout() const { return client_alive_timeout_; }

    // Resets both timeouts (with a warning) unless the alive timeout is at
    // least 60 and at least twice the ping timeout.
    void additional_check_client_timeouts();

private:
    void read_file(const std::string& path);
    void read_line(const std::string& line, unsigned long number);
    void read_task_memory(const std::string& value, unsigned long number);
    void read_timeout(const std::string& key, const std::string& value, unsigned long number, std::uint32_t& setting);

    std::string primary_server_ = "127.0.0.1";
    std::string secondary_server_;
    std::string local_schedule_file_ = "/opt/sarvelin/etc/sarvelin.lsf";
    std::string client_inet_interface_;
    std::string server_inet_interfaces_;
    std::int32_t node_type_ = 0;
    std::int32_t functionality_ = 0;
    bool use_local_backup_directory_ = false;
    std::string local_backup_directory_;
    std::uint32_t parallel_tasks_ = 2;
    std::string svd_hash_algorithm_ = "sha2";
    std::uint32_t svd_block_size_ = 16384;
    std::uint32_t svd_hash_length_ = 256;
    bool digital_sign_ = false;
    std::string digital_sign_hash_ = "sha1";
    std::int32_t client_shutdown_scenario_ = 2;
    std::int32_t server_shutdown_scenario_ = 2;
    bool rescue_mode_ = false;
    std::string cmd_service_ = "sarvelin-cmd";
    std::string media_service_ = "sarvelin-media";
    std::string svm_service_ = "sarvelin-svm";
    std::uint64_t deduplication_task_memory_ = 268435456;
    bool remote_replication_ = false;
    bool centralized_recovery_ = false;
    bool use_product_uuid_ = false;
    bool blocks_aggregation_ = false;
    bool ip_instead_hostname_ = false;
    std::uint32_t client_ping_timeout_ = 1;
    std::uint32_t client_alive_timeout_ = 60;
};
