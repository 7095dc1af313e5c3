# The layers of src/ and what each may include: the one place where the
# direction of dependencies is written. Dependencies point down only:
#   platform <- messages <- settings <- runtime <- options <- jvm <- archive <- instance, launcher
# and the version records (runtime/java_version.h) are a leaf that settings use.
# A file belongs to the layer of the longest name that its path starts with; it
# may include its own layer, the layers and headers listed for it, and nothing
# else. cmake/CheckLayers.cmake applies the table to every build.

set(KORVAN_LAYERS
  platform platform/win32 platform/posix
  messages settings runtime options jvm archive instance launcher)

# platform/ holds the interfaces and shared/, the portable rules the backends
# use; a backend uses them and never the other backend.
set(KORVAN_LAYER_USES_platform "")
set(KORVAN_LAYER_USES_platform/win32 platform)
set(KORVAN_LAYER_USES_platform/posix platform)
set(KORVAN_LAYER_USES_messages platform)
set(KORVAN_LAYER_USES_settings platform messages runtime/java_version.h)
set(KORVAN_LAYER_USES_runtime platform messages settings)
# The VM plan's rules: VM parameters, percent sizes, java-command options,
# argument files, wildcards, environment paths.
set(KORVAN_LAYER_USES_options platform messages settings runtime)
set(KORVAN_LAYER_USES_jvm platform messages settings runtime options)
# The start-up caches: the dynamic class-data archive and the AOT cache.
set(KORVAN_LAYER_USES_archive platform messages settings runtime options jvm)
set(KORVAN_LAYER_USES_instance platform messages settings runtime options jvm archive)
set(KORVAN_LAYER_USES_launcher platform messages settings runtime options jvm archive instance)

# The JNI headers belong to the layers that talk to the VM.
set(KORVAN_JNI_LAYERS jvm archive launcher)
