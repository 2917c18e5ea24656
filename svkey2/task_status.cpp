#include "task_status.h"

const std::map<unsigned int, std::string> taskStatusMap {
    { 0, "Task finished with wrong status" },
    { 2, "Task was assigned" },
    { 5, "Task was successsully done" },
    { 6, "Task was broken" },
    { 8, "Task finished with error" },
    { 14, "Task was killed" },
    { 15, "Task was done with a defect" },
};

std::string taskStatusText(unsigned int code)
{
    const auto found = taskStatusMap.find(code);
    return found == taskStatusMap.end() ? std::string() : found->second;
}

bool isFinalGoodTaskStatus(unsigned int code)
{
    return code == 5 || code == 15;
}

bool isFinalBadTaskStatus(unsigned int code)
{
    return code == 0 || code == 6 || code == 8 || code == 14;
}
