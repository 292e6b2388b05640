#include "model/ecology/example_forms.h"

#include "model/ecology/ecological_form.h"

const char *exampleFormName(const ExampleSystem &example)
{
    const auto parameters = formOf(example.coefficients);
    return parameters ? formName(parameters->form) : "";
}
