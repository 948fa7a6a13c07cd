#include "config/main_target.h"

#include "common/text_scan.h"
#include "jar/main_jar_splash.h"

namespace {

bool copy(const Text& from, Text& to)
{
    return to.assign(from.chars(), from.length());
}

// The first JAR file whose manifest names a Main-Class; java names the JAR it runs.
bool findMainJarTarget(const TextList& jars, MainTarget& target)
{
    size_t index = 0;
    if (findMainJar(jars, index, target.jarSplashImage))
        target.kind = MainKind::Jar;
    return jars.count() == 0 || copy(jars.at(index), target.name);
}

}

bool findMainTarget(const LaunchSettings& settings, MainTarget& target)
{
    if (settings.mainModule.isEmpty() && settings.mainClassName.isEmpty())
        return findMainJarTarget(settings.mainJarCandidates, target);
    bool modular = !settings.mainModule.isEmpty();
    target.kind = modular ? MainKind::Module : MainKind::Class;
    target.namesClass = !modular || settings.mainModuleNamesClass;
    if (!copy(settings.mainClassName, target.className) || !copy(settings.mainClassName, target.javaClassName))
        return false;
    replaceCharacter(target.javaClassName, '/', '.');
    return copy(modular ? settings.mainModule : target.javaClassName, target.name);
}
