#include "files/SystemErrorText.h"

#include <cerrno>

std::string SystemErrorText(int error)
{
    switch (error) {
    case ENOENT: return "没有这个文件或文件夹";
    case EACCES: return "没有权限";
    case EPERM: return "操作不允许";
    case EISDIR: return "这是一个文件夹，不是文件";
    case ENOTDIR: return "路径中有一段不是文件夹";
    case ENOSPC: return "磁盘已满";
    case EDQUOT: return "超出磁盘配额";
    case EROFS: return "文件系统只读";
    case EEXIST: return "文件已存在";
    case ENAMETOOLONG: return "文件名太长";
    case ELOOP: return "符号链接层数过多";
    case EMFILE:
    case ENFILE: return "打开的文件太多";
    case EIO: return "输入输出错误";
    case EFBIG: return "文件太大";
    case ETXTBSY: return "文件正被使用";
    case EBUSY: return "设备或资源忙";
    case EXDEV: return "不能跨文件系统改名";
    case ENOMEM: return "内存不足";
    case EINVAL: return "参数无效";
    case ENXIO:
    case ENODEV: return "没有这个设备";
    default: return "系统错误 " + std::to_string(error);
    }
}
